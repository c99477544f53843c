// The canvas on a cairo context: PNG and PDF.
#ifndef VENNOR_RENDER_CANVAS_CAIRO_H
#define VENNOR_RENDER_CANVAS_CAIRO_H

#include <cairo.h>

#include "canvas.h"

namespace picture {

class cairocanvas : public canvas {
  public:
    explicit cairocanvas(cairo_t* context) : cr(context) {}
    void fill(const std::vector<box>& boxes, const colour& c) override;
    void line(const std::vector<point>& points, double thickness, const colour& c) override;
    void text(double x, double y, const std::string& words, double size, const colour& c,
              bool bold) override;
    double textwidth(const std::string& words, double size, bool bold) override;
    void push(double dy) override;
    void pushclip(const box& inside) override;
    void pop() override;
    void newpage() override;

  private:
    void font(double size, bool bold);
    cairo_t* cr;
};

} // namespace picture

#endif
