// vennoroll-render: the player's run, with its score saved as a MIDI file, its
// performance rendered into an audio file, drawn as a picture or made into a
// web page instead of played.
#include <cstddef>
#include <iostream>
#include <string>

#include "performance.h"
#include "render.h"
#include "rollcore.h"

int main(int argc, char** argv) {
    printbanner();
    checkrenderarguments(argc, argv);
    const char* output = argv[2];
    outputkind kind = outputkindof(output);
    openoutput(argv[1], output);

    renderhandles fluid;
    if (ispicture(kind) || kind == pageoutput) {
        watchperformance();
    }
    if (!ispicture(kind) && kind != midoutput) {
        setuprender(fluid, kind);
    }

    std::string op_string;
    const size_t op_size = preparescore(argv[1], op_string);

    if (kind == midoutput) {
        writescorefile(op_string.size());
    } else if (ispicture(kind)) {
        writepicturefile(kind);
    } else if (kind == pageoutput) {
        writepagefile(fluid, op_string, op_size);
    } else {
        fillopbuffer(op_string, op_size);
        renderscore(fluid, op_size);
        teardownrender(fluid);
    }
    commitoutput();
    std::cout << (kind == midoutput    ? "Score written to "
                  : ispicture(kind)    ? "Picture written to "
                  : kind == pageoutput ? "Page written to "
                                       : "Audio written to ")
              << output << std::endl;
    return 0;
}
