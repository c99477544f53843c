// The drawing routine that every output showing the roll shares.
#ifndef VENNOR_RENDER_PICTURE_DRAW_H
#define VENNOR_RENDER_PICTURE_DRAW_H

#include "canvas.h"
#include "performance.h"

namespace picture {

// Draws the header and every row of perf, from the canvas's origin down, in
// pixels at full size. With pageheight > 0 a row that would not fit starts a
// new page at the top.
void drawpicture(canvas& cv, const performance& perf, double pageheight);

} // namespace picture

#endif
