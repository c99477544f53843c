// The drawing routine that every picture format shares.
#ifndef VENNOR_PLAYER_PICTURE_DRAW_H
#define VENNOR_PLAYER_PICTURE_DRAW_H

#include <cairo.h>

#include "performance.h"

namespace picture {

// Draws the header and every row of perf with cr, from the current origin
// down, in full-size units. With pageheight > 0 a row that would not fit
// starts a new page (cairo_show_page) at the top.
void drawpicture(cairo_t* cr, const performance& perf, double pageheight);

} // namespace picture

#endif
