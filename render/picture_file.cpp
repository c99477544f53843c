// Pictures as files: the canvas for each format around the one drawing routine.
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>

#include "canvas_cairo.h"
#include "canvas_svg.h"
#include "picture.h"
#include "picture_draw.h"

namespace picture {

namespace {

// cairo's image surfaces end at 32767 pixels a side: a taller picture is
// drawn smaller as a whole.
const double largestimage = 32767.0;

// cairo and fontconfig keep the fonts they looked up until the process ends;
// released once every cairo object is gone, a leak checker has nothing to count.
void releasefonts() {
    cairo_debug_reset_static_data();
    FcFini();
}

bool finish(cairo_t* cr, cairo_surface_t* surface) {
    bool good = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    good = good && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    releasefonts();
    return good;
}

void whitepage(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
}

} // namespace

double pictureheight(const performance& perf) {
    return headerheight(perf) + rowcount(perf) * rowheight;
}

std::string svgdocument(const performance& perf, bool prolog, const std::string& extra) {
    std::string svg;
    {
        svgcanvas cv;
        drawpicture(cv, perf, 0.0);
        svg = cv.document(width, pictureheight(perf), prolog, extra);
    }
    releasefonts();
    return svg;
}

bool writepicture(const performance& perf, picturekind kind, const char* path) {
    const double height = pictureheight(perf);
    if (kind == svgpicture) {
        const std::string svg = svgdocument(perf, true, "");
        std::FILE* out = std::fopen(path, "wb");
        bool good = out != nullptr && std::fwrite(svg.data(), 1, svg.size(), out) == svg.size();
        return (out != nullptr && std::fclose(out) == 0) && good;
    }
    if (kind == pdfpicture) {
        cairo_surface_t* surface = cairo_pdf_surface_create(path, a4width, a4height);
        cairo_t* cr = cairo_create(surface);
        const double scale = (a4width - 2 * a4margin) / width;
        cairo_translate(cr, a4margin, a4margin);
        cairo_scale(cr, scale, scale);
        cairocanvas cv(cr);
        drawpicture(cv, perf, (a4height - 2 * a4margin) / scale);
        cairo_show_page(cr);
        return finish(cr, surface);
    }
    const double scale = std::fmin(1.0, largestimage / height);
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::ceil(width * scale)),
                                   static_cast<int>(std::ceil(height * scale)));
    cairo_t* cr = cairo_create(surface);
    whitepage(cr);
    cairo_scale(cr, scale, scale);
    cairocanvas cv(cr);
    drawpicture(cv, perf, 0.0);
    bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_surface_flush(surface);
    drawn = drawn && cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    return finish(cr, surface) && drawn;
}

} // namespace picture
