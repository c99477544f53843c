// vennoroll-render: the player's run, with its score saved as a MIDI file or
// its performance rendered into an audio file instead of played.
#include <cstddef>
#include <iostream>
#include <string>

#include "render.h"
#include "rollcore.h"

int main(int argc, char** argv) {
    printbanner();
    checkrenderarguments(argc, argv);
    const char* output = argv[2];
    outputkind kind = outputkindof(output);
    openoutput(argv[1], output);

    renderhandles fluid;
    if (kind != midoutput) {
        setuprender(fluid, kind);
    }

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

    if (kind == midoutput) {
        writescorefile(op_string.size());
    } else {
        fillopbuffer(op_string, op_size);
        renderscore(fluid, op_size);
        teardownrender(fluid);
    }
    commitoutput();
    std::cout << (kind == midoutput ? "Score written to " : "Audio written to ") << output
              << std::endl;
    return 0;
}
