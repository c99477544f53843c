#include "prepare.h"

#include "header.h"
#include "holes.h"
#include "roll.h"
#include "score.h"
#include "serialise.h"
#include "validate.h"

void readroll(const char* rollpath, MidiFile& inputfile) {
    inputfile.read(rollpath);
    checkroll(inputfile);
}

double interpretroll(MidiFile& inputfile) {
    Array<double> holestart(holecount);
    double lastendtime = 0.0;
    prepareholes(holestart, lastendtime);

    buildscoreframe(inputfile);
    headerpass(inputfile);
    walkholes(inputfile, holestart, lastendtime);
    return lastendtime;
}

size_t serialiseroll(double lastendtime, std::string& op_string) {
    validateroll();
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    printplayingtime(lastendtime);
    return op_size;
}

size_t preparescore(const char* rollpath, std::string& op_string, const spool& s) {
    MidiFile inputfile;
    readroll(rollpath, inputfile);
    const double lastendtime = interpretroll(inputfile);
    spoolspeedup(s);
    return serialiseroll(lastendtime, op_string);
}
