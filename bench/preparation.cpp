// vennoroll's main up to fluid_player_add_mem, minus the synthesiser set-up.
#include "preparation.h"

#include <string>

#include "rollcore.h"

preparedroll prepareroll(int argc, char** argv) {
    printbanner();
    checkarguments(argc, argv);

    preparedroll prepared;
    prepared.inputfile = std::make_unique<MidiFile>(argv[1]);
    MidiFile& inputfile = *prepared.inputfile;
    checkroll(inputfile);

    Array<double> holestart(holecount);
    double lastendtime = 0.0;
    prepareholes(holestart, lastendtime);

    buildscoreframe(inputfile);
    headerpass(inputfile);
    walkholes(inputfile, holestart, lastendtime);

    validateroll();
    std::string op_string;
    serialisescore(op_string, prepared.op_size);
    printplayingtime(lastendtime);
    fillopbuffer(op_string, prepared.op_size);
    return prepared;
}
