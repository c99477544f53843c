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

    std::string op_string;
    const size_t op_size = preparescore(argv[1], op_string);
    fillopbuffer(op_string, op_size);

    playscore(fluid, op_size);
    teardownsynth(fluid);
    return 0;
}
