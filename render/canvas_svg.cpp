#include "canvas_svg.h"

#include <cmath>
#include <cstdio>

#include "canvas_cairo.h"

namespace picture {

namespace {

// Short numbers: a hundredth of a pixel is below anything a screen shows.
std::string num(double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string hex(const colour& c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", static_cast<int>(std::lround(c.r * 255.0)),
                  static_cast<int>(std::lround(c.g * 255.0)),
                  static_cast<int>(std::lround(c.b * 255.0)));
    return buf;
}

// Browsers fold runs of spaces in SVG text; the header's gaps stay as
// no-break spaces after the first.
std::string spaced(const std::string& words) {
    std::string out;
    for (size_t i = 0; i < words.size(); i++) {
        out += words[i] == ' ' && i > 0 && words[i - 1] == ' ' ? "&#160;" : words.substr(i, 1);
    }
    return out;
}

} // namespace

std::string xmlescaped(const std::string& words) {
    std::string out;
    for (size_t i = 0; i < words.size(); i++) {
        char c = words[i];
        // U+FFFE and U+FFFF are valid UTF-8 but no XML character.
        if (c == '\xEF' && i + 2 < words.size() && words[i + 1] == '\xBF' &&
            (words[i + 2] == '\xBE' || words[i + 2] == '\xBF')) {
            out += "\xEF\xBF\xBD";
            i += 2;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

svgcanvas::svgcanvas()
    : scratch(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1)),
      measure(cairo_create(scratch)) {}

svgcanvas::~svgcanvas() {
    cairo_destroy(measure);
    cairo_surface_destroy(scratch);
}

void svgcanvas::fill(const std::vector<box>& boxes, const colour& c) {
    if (boxes.empty()) {
        return;
    }
    body += "<path fill=\"" + hex(c) + "\" d=\"";
    for (const box& b : boxes) {
        body += "M" + num(b.x) + " " + num(b.y) + "h" + num(b.w) + "v" + num(b.h) + "h" +
                num(-b.w) + "z";
    }
    body += "\"/>\n";
}

void svgcanvas::line(const std::vector<point>& points, double thickness, const colour& c) {
    body += "<polyline fill=\"none\" stroke=\"" + hex(c) + "\" stroke-width=\"" + num(thickness) +
            "\" points=\"";
    for (size_t i = 0; i < points.size(); i++) {
        body += (i ? " " : "") + num(points[i].x) + "," + num(points[i].y);
    }
    body += "\"/>\n";
}

void svgcanvas::text(double x, double y, const std::string& words, double size, const colour& c,
                     bool bold) {
    shortened(x, y, words, words, size, c, bold);
}

void svgcanvas::shortened(double x, double y, const std::string& shown, const std::string& whole,
                          double size, const colour& c, bool bold) {
    body += "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" font-size=\"" + num(size) +
            "px\" fill=\"" + hex(c) + "\"" + (bold ? " font-weight=\"bold\"" : "") + ">" +
            (shown == whole ? "" : "<title>" + xmlescaped(whole) + "</title>") +
            spaced(xmlescaped(shown)) + "</text>\n";
}

double svgcanvas::textwidth(const std::string& words, double size, bool bold) {
    return cairocanvas(measure).textwidth(words, size, bold);
}

void svgcanvas::push(double dy) {
    body += "<g transform=\"translate(0 " + num(dy) + ")\">\n";
}

void svgcanvas::pushclip(const box& inside) {
    std::string id = "c" + std::to_string(++clips);
    body += "<clipPath id=\"" + id + "\"><rect x=\"" + num(inside.x) + "\" y=\"" + num(inside.y) +
            "\" width=\"" + num(inside.w) + "\" height=\"" + num(inside.h) +
            "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
}

void svgcanvas::pop() {
    body += "</g>\n";
}

std::string svgcanvas::document(double w, double h, bool prolog, const std::string& extra) const {
    std::string size = "width=\"" + num(w) + "\" height=\"" + num(h) + "\"";
    return std::string(prolog ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" : "") +
           "<svg xmlns=\"http://www.w3.org/2000/svg\" " + size + " viewBox=\"0 0 " + num(w) + " " +
           num(h) +
           "\" font-family=\"DejaVu Sans, sans-serif\" xml:space=\"preserve\" "
           "style=\"white-space:pre\">\n<rect " +
           size + " fill=\"#ffffff\"/>\n" + body + extra + "</svg>\n";
}

} // namespace picture
