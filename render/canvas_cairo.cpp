#include "canvas_cairo.h"

namespace picture {

void cairocanvas::font(double size, bool bold) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

void cairocanvas::fill(const std::vector<box>& boxes, const colour& c) {
    for (const box& b : boxes) {
        cairo_rectangle(cr, b.x, b.y, b.w, b.h);
    }
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_fill(cr);
}

void cairocanvas::line(const std::vector<point>& points, double thickness, const colour& c) {
    for (size_t i = 0; i < points.size(); i++) {
        (i == 0 ? cairo_move_to : cairo_line_to)(cr, points[i].x, points[i].y);
    }
    cairo_set_line_width(cr, thickness);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_stroke(cr);
}

void cairocanvas::text(double x, double y, const std::string& words, double size, const colour& c,
                       bool bold) {
    font(size, bold);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, words.c_str());
}

double cairocanvas::textwidth(const std::string& words, double size, bool bold) {
    font(size, bold);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, words.c_str(), &ext);
    return ext.x_advance;
}

void cairocanvas::push(double dy) {
    cairo_save(cr);
    cairo_translate(cr, 0.0, dy);
}

void cairocanvas::pushclip(const box& inside) {
    cairo_save(cr);
    cairo_rectangle(cr, inside.x, inside.y, inside.w, inside.h);
    cairo_clip(cr);
}

void cairocanvas::pop() {
    cairo_restore(cr);
}

void cairocanvas::newpage() {
    cairo_show_page(cr);
}

} // namespace picture
