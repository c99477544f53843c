// What the roll's drawing routine draws with: filled boxes, lines, text, a
// moved origin and a clip, and pages. One back end draws through cairo (PNG,
// PDF), the other writes SVG elements with real text (the SVG, the page), so
// that every output shows the same roll.
#ifndef VENNOR_RENDER_CANVAS_H
#define VENNOR_RENDER_CANVAS_H

#include <string>
#include <vector>

#include "picture.h"

namespace picture {

struct box {
    double x, y, w, h;
};

struct point {
    double x, y;
};

class canvas {
  public:
    virtual ~canvas() = default;
    // Every box filled in one colour.
    virtual void fill(const std::vector<box>& boxes, const colour& c) = 0;
    virtual void line(const std::vector<point>& points, double thickness, const colour& c) = 0;
    // Text in DejaVu Sans, its baseline starting at x, y; size in pixels.
    virtual void text(double x, double y, const std::string& words, double size, const colour& c,
                      bool bold) = 0;
    virtual double textwidth(const std::string& words, double size, bool bold) = 0;
    // Text shortened to fit its room: where the format can (the SVG's hover
    // title), the whole of it goes with it.
    virtual void shortened(double x, double y, const std::string& shown, const std::string& whole,
                           double size, const colour& c, bool bold) {
        (void)whole;
        text(x, y, shown, size, c, bold);
    }
    // Until the matching pop: the origin moved down by dy, or drawing kept
    // inside a box.
    virtual void push(double dy) = 0;
    virtual void pushclip(const box& inside) = 0;
    virtual void pop() = 0;
    virtual void newpage() = 0;
};

} // namespace picture

#endif
