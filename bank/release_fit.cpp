#include "release_fit.h"

#include "fft.h"

#include <algorithm>
#include <cmath>

namespace {

// After the pipe stops speaking the room rings on: the points span its fall.
constexpr double kPoints[] = {0.05, 0.1, 0.2, 0.35, 0.5, 0.75, 1.0, 1.5, 2.0};
constexpr double kAudibleDb = -50.0;
// A release only falls from the held level: where a recording swells above its sustain
// after the marker (the pipe still speaking, or its wind settling) no voice can follow.
// The filter's drop is known a quarter-tone apart; sweeps end a semitone apart.
constexpr double kCutoffStepCents = 50.0;
// A sweep is used only where it brings the fall this much nearer than the line alone.
constexpr double kSweepGainDb = 1.0;
constexpr double kColourSlackDb = 3.0;

double centsToHz(double cents) {
    return 8.175798915643707 * std::pow(2.0, cents / 1200.0);
}

// Level in dB of the held tone x[from, to) through FluidSynth's voice filter at this
// cutoff, against the tone unfiltered: a two-pole low-pass, Butterworth at the default Q.
// The filter's own gain is the same held and released, so it is left out.
double lowpassDropDb(const std::vector<std::vector<float>>& x, size_t from, size_t to,
                     uint32_t rate, double cutoffCents) {
    const double w = 2.0 * M_PI * std::min(centsToHz(cutoffCents), 0.45 * rate) / rate;
    const double alpha = std::sin(w) / std::sqrt(2.0);
    const double b1 = (1.0 - std::cos(w)) / (1.0 + alpha), b0 = b1 / 2.0;
    const double a1 = -2.0 * std::cos(w) / (1.0 + alpha), a2 = (1.0 - alpha) / (1.0 + alpha);
    // The filter settles over the first 50 ms.
    const size_t settled = from + rate / 20;
    double in = 1e-30, out = 1e-30;
    for (const auto& ch : x) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (size_t i = from; i < to && i < ch.size(); i++) {
            const double v = ch[i];
            const double y = b0 * v + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
            x2 = x1, x1 = v, y2 = y1, y1 = y;
            if (i >= settled) {
                in += v * v, out += y * y;
            }
        }
    }
    return 10.0 * std::log10(out / in);
}

// The sweep's part of the fall `t` seconds after the release: the filter's drop at the
// cutoff reached (the modulation envelope falls linearly, and so does the cutoff in
// cents). drop[i] is the drop at kLowestCutoffCents + i * kCutoffStepCents.
double sweepDropDb(double t, double cutoffCents, double sweepSeconds,
                   const std::vector<double>& drop) {
    const double reached =
        t >= sweepSeconds ? cutoffCents
                          : kOpenCutoffCents - (kOpenCutoffCents - cutoffCents) * t / sweepSeconds;
    const double at = (reached - kLowestCutoffCents) / kCutoffStepCents;
    const size_t i = std::min(static_cast<size_t>(at), drop.size() - 2);
    const double f = at - static_cast<double>(i);
    return drop[i] * (1.0 - f) + drop[i + 1] * f;
}

// Power of the partials 1..kPartials of a tone at hz over the 0.74 s from `from`, all
// channels summed; index 0 is the fundamental.
constexpr int kPartials = 6;
std::vector<double> tonePartials(const std::vector<std::vector<float>>& x, size_t from,
                                 uint32_t rate, double hz) {
    std::vector<double> p(kPartials, 0.0);
    for (const auto& ch : x) {
        const std::vector<double> c =
            ::partialPowers(hannPowerBins(ch, from, kColourFrames, 1), rate, hz, kPartials);
        for (size_t h = 0; h < p.size(); h++) {
            p[h] += c[h];
        }
    }
    return p;
}

// The upper partials (2..kPartials) against the fundamental, in dB, through a low-pass at
// this cutoff (a Butterworth's power response; kOpenCutoffCents: unfiltered).
double colourDb(const std::vector<double>& p, double hz, double cutoffCents) {
    const double fc = centsToHz(cutoffCents);
    const auto gain = [&](double f) {
        return cutoffCents >= kOpenCutoffCents ? 1.0 : 1.0 / (1.0 + std::pow(f / fc, 4.0));
    };
    double upper = 1e-30;
    for (int h = 2; h <= kPartials; h++) {
        upper += p[static_cast<size_t>(h - 1)] * gain(h * hz);
    }
    return 10.0 * std::log10(upper / (p[0] * gain(hz) + 1e-30));
}

} // namespace

double toneColourDb(const std::vector<std::vector<float>>& x, size_t from, uint32_t rate,
                    double hz) {
    return colourDb(tonePartials(x, from, rate, hz), hz, kOpenCutoffCents);
}

double frameLevelDb(const std::vector<std::vector<float>>& x, double at, uint32_t rate) {
    const long from = std::lround((at - 0.01) * rate);
    const long to = std::lround((at + 0.01) * rate);
    double sum = 0.0;
    for (const auto& ch : x) {
        for (long i = std::max(0L, from); i < to && i < static_cast<long>(ch.size()); i++) {
            sum += static_cast<double>(ch[static_cast<size_t>(i)]) * ch[static_cast<size_t>(i)];
        }
    }
    return 10.0 * std::log10(sum / static_cast<double>((to - from) * x.size()) + 1e-30);
}

ReleaseFit fitRelease(const std::vector<std::vector<float>>& x, size_t marker, uint32_t rate,
                      double hz, double shortest, double longest) {
    const double release = static_cast<double>(marker) / rate;
    std::vector<double> frames;
    for (double t = release - 0.8; t + 0.02 <= release + 1e-9; t += 0.02) {
        frames.push_back(frameLevelDb(x, t + 0.01, rate));
    }
    std::nth_element(frames.begin(), frames.begin() + static_cast<long>(frames.size() / 2),
                     frames.end());
    const double sustain = frames[frames.size() / 2];
    std::vector<std::pair<double, double>> fall;
    for (double t : kPoints) {
        double level = frameLevelDb(x, release + t, rate) - sustain;
        if (level > kAudibleDb && level <= 0.0) {
            fall.push_back({t, level});
        }
    }
    const size_t n = fall.size();
    // Release times a hundredth of an octave apart: finer than any difference heard.
    std::vector<double> releases, lines; // and each one's line at the points, less the fall
    for (double seconds = shortest; seconds <= longest * 1.0001;
         seconds *= std::pow(2.0, 1.0 / 100)) {
        releases.push_back(seconds);
        for (const auto& [t, level] : fall) {
            lines.push_back(-96.0 * t / seconds - level);
        }
    }
    // The loop plays the held tone: the filter's drop is measured on the 0.4 s before the
    // marker.
    const size_t heldFrom = marker > rate * 2 / 5 ? marker - rate * 2 / 5 : 0;
    std::vector<double> drop;
    for (double c = kLowestCutoffCents; c <= kOpenCutoffCents + 1e-9; c += kCutoffStepCents) {
        drop.push_back(lowpassDropDb(x, heldFrom, marker, rate, c));
    }
    // A sweep dulls the tail, and a church's tail keeps most of the pipe's colour: the
    // sweep may move the tail's colour off the recording's by kColourSlackDb, or by as much
    // as the line alone does. Both colours over 0.74 s: the tail's from the marker on (most
    // of it its first few tenths), the held tone's from 0.8 s before.
    const size_t heldStart = marker > rate * 4 / 5 ? marker - rate * 4 / 5 : 0;
    const std::vector<double> held = tonePartials(x, heldStart, rate, hz);
    const double tailColour = toneColourDb(x, marker, rate, hz);
    const double colourSlack =
        std::max(kColourSlackDb, std::fabs(colourDb(held, hz, kOpenCutoffCents) - tailColour));
    ReleaseFit line, swept;
    line.worstGapDb = swept.worstGapDb = 1e9;
    std::vector<double> bend(n, 0.0);
    const auto fitLines = [&](ReleaseFit& best, double cutoff, double sweep) {
        for (size_t r = 0; r < releases.size(); r++) {
            double worst = 0.0;
            for (size_t p = 0; p < n; p++) {
                worst = std::max(worst, std::fabs(lines[r * n + p] + bend[p]));
            }
            if (worst < best.worstGapDb) {
                best = {releases[r], cutoff, sweep, worst};
            }
        }
    };
    fitLines(line, kOpenCutoffCents, 0.0);
    for (size_t c = 0; c + 2 < drop.size(); c += 2) {
        const double cutoff = kLowestCutoffCents + kCutoffStepCents * static_cast<double>(c);
        if (std::fabs(colourDb(held, hz, cutoff) - tailColour) > colourSlack) {
            continue;
        }
        // Sweeps of 20 ms to 2.6 s, a sixth of an octave apart.
        for (double sweep = 0.02; sweep < 2.6; sweep *= std::pow(2.0, 1.0 / 6)) {
            for (size_t p = 0; p < n; p++) {
                bend[p] = sweepDropDb(fall[p].first, cutoff, sweep, drop);
            }
            fitLines(swept, cutoff, sweep);
        }
    }
    return swept.worstGapDb + kSweepGainDb < line.worstGapDb ? swept : line;
}
