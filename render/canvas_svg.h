// The canvas as SVG elements, collected in memory: text stays text (found,
// selected and read aloud in a browser), every length in pixels.
#ifndef VENNOR_RENDER_CANVAS_SVG_H
#define VENNOR_RENDER_CANVAS_SVG_H

#include <cairo.h>

#include <string>

#include "canvas.h"

namespace picture {

class svgcanvas : public canvas {
  public:
    svgcanvas();
    ~svgcanvas() override;
    svgcanvas(const svgcanvas&) = delete;
    svgcanvas& operator=(const svgcanvas&) = delete;
    void fill(const std::vector<box>& boxes, const colour& c) override;
    void line(const std::vector<point>& points, double thickness, const colour& c) override;
    void text(double x, double y, const std::string& words, double size, const colour& c,
              bool bold) override;
    double textwidth(const std::string& words, double size, bool bold) override;
    void shortened(double x, double y, const std::string& shown, const std::string& whole,
                   double size, const colour& c, bool bold) override;
    void push(double dy) override;
    void pushclip(const box& inside) override;
    void pop() override;
    void newpage() override {}

    // The <svg> element of w by h pixels holding everything drawn, then
    // `extra` (markup drawn on top); with `prolog`, as a file of its own.
    std::string document(double w, double h, bool prolog, const std::string& extra = "") const;

  private:
    std::string body;
    int clips = 0;
    // Text is measured with cairo, in the same font as the other outputs, so
    // that every output lays its lines out alike.
    cairo_surface_t* scratch;
    cairo_t* measure;
};

// Text for XML character data and attribute values.
std::string xmlescaped(const std::string& words);

} // namespace picture

#endif
