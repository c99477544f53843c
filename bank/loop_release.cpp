#include "loop_release.h"

#include "release_fit.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

using Channels = std::vector<std::vector<float>>;

// Mean power over all channels of frames [start, start + length), in dB.
double levelDb(const Channels& x, size_t start, size_t length) {
    double sum = 0.0;
    size_t n = 0;
    for (const auto& ch : x) {
        size_t end = std::min(ch.size(), start + length);
        for (size_t i = start; i < end; i++) {
            sum += static_cast<double>(ch[i]) * ch[i];
            n++;
        }
    }
    return 10.0 * std::log10(sum / static_cast<double>(std::max<size_t>(n, 1)) + 1e-20);
}

// Normalised cross-correlation of [a, a + length) with [b, b + length), all channels pooled.
double correlation(const Channels& x, size_t a, size_t b, size_t length) {
    double xy = 0.0, xx = 0.0, yy = 0.0;
    for (const auto& ch : x) {
        for (size_t i = 0; i < length; i++) {
            double p = ch[a + i], q = ch[b + i];
            xy += p * q;
            xx += p * p;
            yy += q * q;
        }
    }
    return xy / std::sqrt(xx * yy + 1e-30);
}

// Earliest frame, up to `latest`, from which the level stays near the sustain level for
// 150 ms; `latest` when there is none.
size_t findSustainStart(const Channels& x, size_t latest, double sustainDb, double toleranceDb,
                        uint32_t rate) {
    size_t window = rate / 50; // 20 ms
    size_t hop = rate / 200;   // 5 ms
    size_t steady = rate * 3 / 20;
    for (size_t t = 0; t < latest && t + steady + window <= x[0].size(); t += hop) {
        bool settled = true;
        for (size_t u = t; u <= t + steady && settled; u += hop) {
            settled = std::fabs(levelDb(x, u, window) - sustainDb) <= toleranceDb;
        }
        if (settled) {
            return t;
        }
    }
    return latest;
}

// The held note as the voice plays it: the recording up to the loop's end, then the loop
// over and over. A slow drift of level across the loop would come back at every pass as a
// sawtooth, so the loop is given a gain ramp that brings its end to its start's level, and
// its last `fade` frames blend into those before its start.
struct Looped {
    const Channels& x;
    size_t start, end, fade;
    double endGain = 1.0;

    Looped(const Channels& channels, size_t loopStart, size_t loopEnd, size_t crossFade,
           uint32_t rate)
        : x(channels), start(loopStart), end(loopEnd), fade(std::min(crossFade, end - start)) {
        size_t edge = std::min<size_t>(rate / 5, (end - start) / 2);
        double drift = levelDb(x, start, edge) - levelDb(x, end - edge, edge);
        endGain = std::pow(10.0, std::clamp(drift, -3.0, 3.0) / 20.0);
    }

    double at(size_t c, size_t i) const {
        if (i >= end) {
            i = start + (i - start) % (end - start);
        }
        double v = x[c][i];
        if (i >= start) {
            v *= 1.0 + (endGain - 1.0) * static_cast<double>(i - start) / (end - start);
        }
        if (i + fade >= end) {
            double w = (i + fade - end + 0.5) / fade;
            v = (1.0 - w) * v + w * x[c][i - (end - start)];
        }
        return v;
    }
};

// Strongest line between 4 and 30 Hz of an amplitude envelope (10 ms frames), in dB
// relative to its mean.
double strongestLineDb(const std::vector<double>& envelope) {
    double mean = 0.0, windowSum = 0.0;
    for (double e : envelope) {
        mean += e / static_cast<double>(envelope.size());
    }
    std::vector<double> weighted(envelope.size());
    for (size_t n = 0; n < envelope.size(); n++) {
        double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * (n + 0.5) / envelope.size());
        weighted[n] = (envelope[n] - mean) * w;
        windowSum += w;
    }
    double strongest = 0.0;
    for (double hz = 4.0; hz <= 30.0; hz += 0.1) {
        const std::complex<double> step = std::polar(1.0, -2.0 * M_PI * hz / 100.0);
        std::complex<double> phasor(1.0, 0.0), sum(0.0, 0.0);
        for (double v : weighted) {
            sum += v * phasor;
            phasor *= step;
        }
        strongest = std::max(strongest, 2.0 * std::abs(sum) / windowSum);
    }
    return 20.0 * std::log10(strongest / (mean + 1e-30) + 1e-30);
}

// Flutter of the held note over the settings' stretch: the strongest envelope line of its
// first and of its last `window` frames (both ends, before and after the loop has come
// round, as long as the sustain the recording itself holds).
double flutterDb(const Looped& held, const LoopSettings& settings, uint32_t rate, size_t window) {
    // Frames of 10 ms, each the power Hann-weighted over 20 ms: a plain 10 ms frame would
    // ripple with the tone's distance from a multiple of 100 Hz.
    const size_t frame = rate / 100;
    static thread_local std::vector<double> hann;
    if (hann.size() != 2 * frame) {
        hann.resize(2 * frame);
        for (size_t i = 0; i < hann.size(); i++) {
            hann[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * (i + 0.5) / hann.size());
        }
    }
    std::vector<double> envelope;
    for (size_t t = static_cast<size_t>(settings.heldFromSeconds * rate);
         t + 2 * frame <= static_cast<size_t>(settings.heldToSeconds * rate); t += frame) {
        double power = 0.0;
        for (size_t c = 0; c < held.x.size(); c++) {
            for (size_t i = 0; i < 2 * frame; i++) {
                double v = held.at(c, t + i);
                power += hann[i] * v * v;
            }
        }
        envelope.push_back(std::sqrt(power / static_cast<double>(frame * held.x.size())));
    }
    window = std::clamp<size_t>(window, 16, envelope.size());
    return std::max(
        strongestLineDb({envelope.begin(), envelope.begin() + static_cast<long>(window)}),
        strongestLineDb({envelope.end() - static_cast<long>(window), envelope.end()}));
}

// The loop's end within a period of `end` where the waveform in the middle of the
// cross-fade best matches the one it blends with before the loop's start, so that the
// blend is of waveforms in phase and does not dip.
size_t alignEnd(const Channels& x, size_t start, size_t end, double period, size_t fade,
                size_t latestEnd) {
    const size_t window = 1024;
    const size_t back = std::min(start, fade / 2 + window / 2);
    const size_t reach = static_cast<size_t>(std::ceil(period));
    size_t best = end;
    double bestScore = -2.0;
    for (size_t e = end - std::min(end - start - back, reach);
         e <= std::min(end + reach, latestEnd); e++) {
        double score = correlation(x, start - back, e - back, window);
        if (score > bestScore) {
            bestScore = score;
            best = e;
        }
    }
    return best;
}

struct LoopChoice {
    size_t start = 0;
    size_t length = 0;
    double flutter = 1e9;
};

// Loops of whole periods from minLoopSeconds to maxLoopSeconds (shorter only where the
// sustain is), starting at steps between `earliest` and `latestEnd`. Each is judged by the
// flutter of the note it would hold; of those nearly as steady as the steadiest, the one
// ending first keeps the bank small. Length 0 when none fits.
LoopChoice chooseLoop(const Channels& x, const LoopSettings& settings, uint32_t rate, double period,
                      size_t earliest, size_t latestEnd, size_t fade, size_t window) {
    std::vector<double> lengths;
    const double room = static_cast<double>(latestEnd - earliest) / rate;
    for (double share = 0.6; room < settings.minLoopSeconds && share <= 1.0 + 1e-9; share += 0.1) {
        lengths.push_back(share * room);
    }
    for (double l = settings.minLoopSeconds; l <= std::min(settings.maxLoopSeconds, room) + 1e-9;
         l += 0.25) {
        lengths.push_back(l);
    }
    const size_t step = static_cast<size_t>(std::min(0.1, room / 10.0) * rate);
    std::vector<LoopChoice> candidates;
    for (double seconds : lengths) {
        double periods = std::floor(seconds * rate / period);
        size_t length = static_cast<size_t>(std::lround(periods * period));
        for (size_t start = earliest; length > 0 && start + length <= latestEnd; start += step) {
            size_t end = alignEnd(x, start, start + length, period, fade, latestEnd);
            LoopChoice c{start, end - start,
                         flutterDb({x, start, end, fade, rate}, settings, rate, window)};
            candidates.push_back(c);
        }
    }
    LoopChoice best;
    for (const LoopChoice& c : candidates) {
        best = c.flutter < best.flutter ? c : best;
    }
    for (const LoopChoice& c : candidates) {
        if (c.flutter <= best.flutter + settings.flutterSlackDb &&
            c.start + c.length < best.start + best.length) {
            best = c;
        }
    }
    return best;
}

} // namespace

double midiPitchToHz(double pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0);
}

bool prepareSample(const WaveFile& wave, const LoopSettings& settings, PreparedSample& out,
                   std::string& error) {
    if (!wave.hasSampler()) {
        error = "no pitch data ('smpl' chunk)";
        return false;
    }
    if (wave.getCueOffsets().empty()) {
        error = "no release marker ('cue ' chunk)";
        return false;
    }
    const Channels x = [&] {
        Channels c;
        for (int i = 0; i < wave.getChannelCount(); i++) {
            c.push_back(wave.getChannel(i));
        }
        return c;
    }();
    const uint32_t rate = wave.getSampleRate();
    const size_t frames = wave.getFrameCount();
    const size_t marker = wave.getCueOffsets().front();
    const double pitch = wave.getUnityNote() + wave.getPitchFraction();
    const double period = rate / midiPitchToHz(pitch);
    const size_t fade = static_cast<size_t>(settings.crossFadeSeconds * rate);
    if (marker >= frames || marker < fade + rate / 2) {
        error = "release marker too early or past the end";
        return false;
    }
    const size_t latestEnd = marker - static_cast<size_t>(std::ceil(period));

    const size_t sustainWindow = std::min<size_t>(rate * 3 / 10, marker / 2);
    const double sustainDb = levelDb(x, marker - sustainWindow, sustainWindow);
    const size_t latestStart =
        std::min(marker / 2, static_cast<size_t>(settings.maxAttackSeconds * rate));
    const size_t sustainStart =
        findSustainStart(x, latestStart, sustainDb, settings.attackToleranceDb, rate);
    // The loop comes from the stretch a held note is heard over where the sustain is long
    // enough, so that the note keeps the tone of the pipe held; else as late as it fits,
    // clear of the attack.
    const size_t settled = std::max(sustainStart + rate / 10, fade);
    const size_t minLoop = static_cast<size_t>(settings.minLoopSeconds * rate);
    const size_t heldFrom = static_cast<size_t>(settings.heldFromSeconds * rate);
    const size_t earliest =
        std::max(settled, latestEnd > minLoop ? std::min(heldFrom, latestEnd - minLoop) : 0);
    if (earliest + rate / 5 > latestEnd) {
        error = "no room for a loop between the attack and the release marker";
        return false;
    }

    // Frames of sustain the recording holds over the stretch; at least 0.8 s.
    const size_t window = static_cast<size_t>(
        std::max(0.8, std::min(settings.heldToSeconds, static_cast<double>(marker) / rate) -
                          settings.heldFromSeconds) *
        100.0);
    const LoopChoice best =
        chooseLoop(x, settings, rate, period, earliest, latestEnd, fade, window);
    if (best.length == 0) {
        error = "no room for a loop between the attack and the release marker";
        return false;
    }
    const size_t a = best.start;
    const size_t e = a + best.length;
    const Looped held(x, a, e, fade, rate);
    // A few frames of the loop's start after its end, for the interpolator.
    const size_t total = e + 8;
    out.channels.assign(x.size(), std::vector<float>(total));
    for (size_t c = 0; c < x.size(); c++) {
        for (size_t i = 0; i < total; i++) {
            out.channels[c][i] = static_cast<float>(held.at(c, i));
        }
    }
    out.loopStart = static_cast<uint32_t>(a);
    out.loopEnd = static_cast<uint32_t>(e);
    out.sampleRate = rate;
    out.flutterDb = flutterDb(held, settings, rate, window);
    out.release = fitRelease(x, marker, rate, midiPitchToHz(pitch), settings.shortestReleaseSeconds,
                             settings.longestReleaseSeconds);
    // Pitch data: unity note plus a fraction of a semitone above it. Keep the correction
    // within half a semitone by rounding the root to the nearer note.
    double fraction = wave.getPitchFraction();
    if (fraction > 0.5) {
        out.rootKey = static_cast<int>(wave.getUnityNote()) + 1;
        out.correctionCents = static_cast<int>(std::lround((1.0 - fraction) * 100.0));
    } else {
        out.rootKey = static_cast<int>(wave.getUnityNote());
        out.correctionCents = -static_cast<int>(std::lround(fraction * 100.0));
    }
    return true;
}
