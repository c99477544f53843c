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
    const renderarguments arguments = checkrenderarguments(argc, argv);
    const char* roll = arguments.words[1];
    const char* output = arguments.words[2];
    outputkind kind = outputkindof(output);
    openoutput(roll, output);

    renderhandles fluid;
    if (ispicture(kind) || kind == pageoutput) {
        watchperformance();
    }
    if (!ispicture(kind) && kind != midoutput) {
        setuprender(fluid, kind);
    }

    std::string op_string;
    size_t op_size = preparescore(roll, op_string, arguments.speedup);
    printspeedup();
    if (kind != midoutput && !ispicture(kind)) {
        op_size = steadyscore(op_string);
    }

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
