// A PNG read back with cairo, for the tests that look at pictures and pages.
#ifndef VENNOR_TESTS_PNG_IMAGE_H
#define VENNOR_TESTS_PNG_IMAGE_H

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "picture.h"

class Image {
  public:
    explicit Image(const std::string& path)
        : surface(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Image() { cairo_surface_destroy(surface); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    bool good() const { return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(surface); }
    int height() const { return cairo_image_surface_get_height(surface); }
    // Red, green and blue of a pixel, 0 to 255 each.
    std::vector<int> rgb(double x, double y) const {
        int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
        if (px < 0 || py < 0 || px >= width() || py >= height()) {
            return {-1, -1, -1};
        }
        const unsigned char* row =
            cairo_image_surface_get_data(surface) +
            static_cast<ptrdiff_t>(py) * cairo_image_surface_get_stride(surface);
        uint32_t p = reinterpret_cast<const uint32_t*>(row)[px];
        return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                static_cast<int>(p & 0xFF)};
    }
    // Within `tolerance` of the colour in each of red, green and blue.
    bool is(double x, double y, const picture::colour& c, long tolerance = 2) const {
        std::vector<int> got = rgb(x, y);
        const double want[] = {c.r, c.g, c.b};
        for (int i = 0; i < 3; i++) {
            if (std::abs(got[static_cast<size_t>(i)] - std::lround(want[i] * 255.0)) > tolerance) {
                return false;
            }
        }
        return true;
    }

  private:
    cairo_surface_t* surface;
};

#endif
