// The roll as one web page: the picture as inline SVG with a playhead, the
// performance as Ogg Opus inside the page, and the script that ties them
// together. Nothing outside the file is needed, not even a network.
#ifndef VENNOR_RENDER_PAGE_H
#define VENNOR_RENDER_PAGE_H

#include <string>

#include "performance.h"

namespace page {

// The page keeps its sound as base64 text, which the browser holds two or
// three times over while it decodes; half an hour (about 35 MB of page at
// the bit rate below) is as much as a page that opens quickly and goes by
// mail can carry, and longer than any real organ roll.
const double longestpage = 30 * 60.0;

// Stereo Opus at this rate sounds transparent for the organ and keeps the
// demo roll's page near 2 MB.
const int bitrate = 112000;

// After the roll's last hole the sound goes on while any pipe still sounds
// (the final chord's room), at most tailseconds, the last fadeseconds of them
// faded out.
const double tailseconds = 5.0;
const double fadeseconds = 0.5;

// The whole page for perf with `ogg` (an Ogg Opus stream) as its sound.
std::string document(const performance& perf, const std::string& ogg);

// Writes document(perf, ogg) to path; false when that fails.
bool write(const performance& perf, const std::string& ogg, const char* path);

} // namespace page

#endif
