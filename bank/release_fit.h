#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// How a released pipe dies away in its recording, and the volume-envelope release that
// follows it. FluidSynth's release is one straight line in decibels (96 dB over the
// release time), so each pipe gets the line closest to its own recorded fall.
struct ReleaseFit {
    double seconds = 1.0;    // the release generator's time: 96 dB over this long
    double worstGapDb = 0.0; // largest distance of the line from the recording's fall
};

// Level of `x` (all channels' mean power, 20 ms centred on `at` seconds), in dB.
double frameLevelDb(const std::vector<std::vector<float>>& x, double at, uint32_t rate);

// The recording's level 0.05-2 s after its release marker, relative to its sustain (the
// median 20 ms level of the 0.8 s before the marker), is matched by the line that keeps
// the worst distance smallest at the points where the recording stands within 50 dB of
// its sustain. The release time stays within [shortest, longest] seconds.
ReleaseFit fitRelease(const std::vector<std::vector<float>>& x, size_t marker, uint32_t rate,
                      double shortest, double longest);
