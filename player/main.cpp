// vennoroll: plays an Estey e-roll through FluidSynth.
#include <cstddef>
#include <string>

#include "playback.h"
#include "rollcore.h"

int main(int argc, char** argv) {
    printbanner();
    checkarguments(argc, argv);

    fluidhandles fluid;
    setupsynth(fluid);

    MidiFile inputfile(argv[1]);
    checkroll(inputfile);

    Array<double> holestart(holecount);
    double lastendtime = 0.0;
    prepareholes(holestart, lastendtime);

    buildscoreframe(inputfile);
    headerpass(inputfile);
    walkholes(inputfile, holestart, lastendtime);

    validateroll();
    std::string op_string;
    size_t op_size = 0;
    serialisescore(op_string, op_size);
    printplayingtime(lastendtime);
    fillopbuffer(op_string, op_size);

    playscore(fluid, op_size);
    teardownsynth(fluid);
    return 0;
}
