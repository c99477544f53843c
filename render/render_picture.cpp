// vennoroll-render's pictures: the performance watched while the roll was
// prepared, drawn into the temporary output file.
#include <cstdlib>
#include <iostream>

#include "picture.h"
#include "render.h"

bool ispicture(outputkind kind) {
    return kind == svgoutput || kind == pngoutput || kind == pdfoutput;
}

void writepicturefile(outputkind kind) {
    finishperformance();
    // A roll whose last hole lies days away would be a picture of nothing but
    // empty paper, too large to open.
    if (watched.seconds > picture::longestpicture) {
        std::cout << "Roll too long for a picture (over 4 hours)" << std::endl;
        std::exit(1);
    }
    picturekind picturekindof = kind == svgoutput   ? svgpicture
                                : kind == pngoutput ? pngpicture
                                                    : pdfpicture;
    if (!picture::writepicture(watched, picturekindof, pendingoutput())) {
        writingfailed();
    }
}
