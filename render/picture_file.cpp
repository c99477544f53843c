// Pictures as files: the surface for each format around the one drawing routine.
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>

#include "picture.h"
#include "picture_draw.h"

namespace picture {

namespace {

// cairo's image surfaces end at 32767 pixels a side: a taller picture is
// drawn smaller as a whole.
const double largestimage = 32767.0;

// A4 portrait, in points.
const double a4width = 595.28;
const double a4height = 841.89;
const double a4margin = 20.0;

bool finish(cairo_t* cr, cairo_surface_t* surface) {
    bool good = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    good = good && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    // cairo and fontconfig keep the fonts they looked up until the process
    // ends; released here, a leak checker has nothing to count.
    cairo_debug_reset_static_data();
    FcFini();
    return good;
}

void whitepage(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
}

} // namespace

bool writepicture(const performance& perf, picturekind kind, const char* path) {
    const double height = headerheight(perf) + rowcount(perf) * rowheight;
    if (kind == svgpicture) {
        cairo_surface_t* surface = cairo_svg_surface_create(path, width, height);
        cairo_t* cr = cairo_create(surface);
        whitepage(cr);
        drawpicture(cr, perf, 0.0);
        return finish(cr, surface);
    }
    if (kind == pdfpicture) {
        cairo_surface_t* surface = cairo_pdf_surface_create(path, a4width, a4height);
        cairo_t* cr = cairo_create(surface);
        const double scale = (a4width - 2 * a4margin) / width;
        cairo_translate(cr, a4margin, a4margin);
        cairo_scale(cr, scale, scale);
        drawpicture(cr, perf, (a4height - 2 * a4margin) / scale);
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
    drawpicture(cr, perf, 0.0);
    bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_surface_flush(surface);
    drawn = drawn && cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    return finish(cr, surface) && drawn;
}

} // namespace picture
