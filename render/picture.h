// A picture of a roll's performance: time left to right in rows of a minute,
// every hole on the tracker bar (hole 1 at the bottom), the registration on
// each manual, the stop-control actions and the swell shades, under a header
// with the roll's texts and a legend. One drawing routine for SVG, PNG, PDF
// and the page; the geometry is here for the page and for the tests.
#ifndef VENNOR_RENDER_PICTURE_H
#define VENNOR_RENDER_PICTURE_H

#include <string>

#include "performance.h"

enum picturekind { svgpicture, pngpicture, pdfpicture };

namespace picture {

struct colour {
    double r, g, b;
};

const colour paper{0.976, 0.965, 0.925}; // the roll where no hole is
const colour pedal{0.0, 0.447, 0.698};
const colour swell{0.902, 0.624, 0.0};
const colour great{0.0, 0.620, 0.451};
const colour stopcontrol{0.835, 0.369, 0.0}; // stop-control holes and actions
const colour shade{0.800, 0.475, 0.655};     // swell-shade holes and the shade line
const colour ignored{0.6, 0.6, 0.6};

// What a hole does, by its colour.
const colour& holecolour(int hole);

// Units are pixels at full size.
const double width = 1200.0;
const double left = 90.0; // time 0 of a row
const double pixelspersecond = 18.0;
const double rowseconds = 60.0;  // a row ends at left + 1080
const double paperlead = 6.0;    // the paper starts this far left of time 0
const double holepitch = 3.0;    // holes 0 to 127 from the bottom up
const double actionsline = 16.0; // row top to the end of the stop-action labels
const double holestop = 86.0;    // row top to the top of hole 127
const double rowheight = 502.0;
const double longestpicture = 4 * 3600.0; // seconds; longer rolls get no picture

// The PDF's pages: A4 portrait in points, the picture scaled to fit between
// the margins and cut between rows.
const double a4width = 595.28;
const double a4height = 841.89;
const double a4margin = 20.0;

int rowcount(const performance& perf);
double headerheight(const performance& perf);

// Where time t lies across its row, and the centre of a hole's bar at time t.
double timex(double t);
double holey(const performance& perf, double t, int hole);

double pictureheight(const performance& perf);

// Roll texts as UTF-8: valid UTF-8 stays, any other byte is read as Latin-1,
// control characters become spaces.
std::string readable(const std::string& bytes);
// The roll's titles joined, as the header shows them.
std::string rolltitle(const performance& perf);

// Draws perf into the file at path. False when it could not be written.
bool writepicture(const performance& perf, picturekind kind, const char* path);

// The picture as an SVG document (with `prolog`, a file of its own), with
// `extra` markup drawn on top.
std::string svgdocument(const performance& perf, bool prolog, const std::string& extra);

} // namespace picture

#endif
