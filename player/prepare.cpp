#include "prepare.h"

#include "header.h"
#include "holes.h"
#include "roll.h"
#include "score.h"
#include "serialise.h"
#include "validate.h"

size_t preparescore(const char* rollpath, std::string& op_string) {
    MidiFile inputfile(rollpath);
    checkroll(inputfile);

    Array<double> holestart(holecount);
    double lastendtime = 0.0;
    prepareholes(holestart, lastendtime);

    buildscoreframe(inputfile);
    headerpass(inputfile);
    walkholes(inputfile, holestart, lastendtime);

    validateroll();
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    printplayingtime(lastendtime);
    return op_size;
}
