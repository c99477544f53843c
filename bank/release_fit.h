#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// FluidSynth's voice filter wide open: it holds the cutoff under 0.45 of the output rate.
constexpr double kOpenCutoffCents = 13500.0;
// The lowest cutoff a SoundFont may set (19 Hz).
constexpr double kLowestCutoffCents = 1500.0;

// How a released pipe dies away in its recording, and the voice's release that follows it.
// FluidSynth's volume-envelope release is one straight line in decibels (96 dB over the
// release time); the recordings bend: the pipe stops speaking within a fraction of a
// second, then the room rings on. The bend is made within the same voice, at no cost in
// voices: on release the modulation envelope sweeps the voice's low-pass filter down from
// wide open to a cutoff that takes the held tone's upper partials (or more) away, a drop
// that is over once the sweep is, while the line goes on at the room's pace. The sweep
// also dulls the tail, so it goes only as deep as the recording's own tail allows.
struct ReleaseFit {
    double seconds = 1.0; // the volume envelope's release: 96 dB over this long
    // Cutoff where the sweep ends, in absolute cents (FluidSynth's filter units) for the
    // recording at its own pitch; kOpenCutoffCents when the line alone fits.
    double cutoffCents = kOpenCutoffCents;
    double sweepSeconds = 0.0; // the modulation envelope's release: open to cutoff
    double worstGapDb = 0.0;   // largest distance of the fitted fall from the recording's
    bool sweeps() const { return cutoffCents < kOpenCutoffCents; }
};

// Frames a colour is measured over (0.74 s at 44.1 kHz).
constexpr size_t kColourFrames = 32768;

// The colour of a tone at hz over x[from, from + kColourFrames), all channels heard
// together: its partials 2-6 against the fundamental, in dB.
double toneColourDb(const std::vector<std::vector<float>>& x, size_t from, uint32_t rate,
                    double hz);

// Level of `x` (all channels' mean power, 20 ms centred on `at` seconds), in dB.
double frameLevelDb(const std::vector<std::vector<float>>& x, double at, uint32_t rate);

// The recording (pitch hz) and its release marker: its level 0.05-2 s after the marker,
// relative to its sustain (the median 20 ms level of the 0.8 s before the marker), is
// matched by the fall that keeps the worst distance smallest at the points where the
// recording stands within 50 dB of its sustain and not above it, among the falls whose
// tail keeps the recording's colour (partials 2-6 against the fundamental) within 3 dB,
// or as near as the line alone. The release time stays within [shortest, longest] seconds.
ReleaseFit fitRelease(const std::vector<std::vector<float>>& x, size_t marker, uint32_t rate,
                      double hz, double shortest, double longest);
