#include "loop_release.h"

#include <algorithm>
#include <cmath>

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

struct LoopChoice {
    size_t start = 0;
    size_t length = 0;
    double cents = 0.0;
    double score = -2.0;
};

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

// Candidate loops: N whole periods, starting a little after the sustain is reached and
// ending before `latestEnd`. The one whose end best matches the material before its start
// needs the least cross-fade work and so blurs the least. Length 0 when none fits.
LoopChoice chooseLoop(const Channels& x, const LoopSettings& settings, uint32_t rate, double period,
                      size_t sustainStart, size_t latestEnd) {
    std::vector<LoopChoice> candidates;
    int minPeriods =
        std::max(1, static_cast<int>(std::ceil(settings.minLoopSeconds * rate / period)));
    int maxPeriods =
        std::max(minPeriods, static_cast<int>(settings.maxLoopSeconds * rate / period));
    double bestRounding = 1e9;
    for (int n = minPeriods; n <= maxPeriods; n++) {
        size_t length = static_cast<size_t>(std::lround(n * period));
        double cents = 1200.0 * std::log2(n * period / static_cast<double>(length));
        bestRounding = std::min(bestRounding, std::fabs(cents));
        candidates.push_back({0, length, cents, -2.0});
    }
    // Whole frames rarely make whole periods: pass over lengths that would detune.
    double allowed = std::max(settings.maxLoopCents, bestRounding + 0.05);
    LoopChoice best;
    for (const LoopChoice& c : candidates) {
        if (std::fabs(c.cents) > allowed) {
            continue;
        }
        size_t fade = c.length / 2;
        for (int step = 0; step <= 10; step++) {
            size_t start = sustainStart + fade + static_cast<size_t>(step) * rate / 100;
            if (start + c.length >= latestEnd) {
                break;
            }
            double score = correlation(x, start - fade, start + c.length - fade, fade);
            if (score > best.score) {
                best = {start, c.length, c.cents, score};
            }
        }
    }
    return best;
}

// Where to read the release: within a period before the marker, in phase with the loop
// start, so that the splice after the loop end is a short cross-fade between like
// waveforms.
size_t chooseReleaseSource(const Channels& x, size_t loopStart, size_t marker, double period,
                           size_t spliceLength) {
    size_t half = spliceLength / 2;
    size_t source = marker;
    double best = -2.0;
    for (size_t r = marker - static_cast<size_t>(std::ceil(period)) - 1;
         r <= marker && r + half <= x[0].size(); r++) {
        double score = correlation(x, loopStart - half, r - half, spliceLength);
        if (score > best) {
            best = score;
            source = r;
        }
    }
    return source;
}

// End of the last 20 ms window after the marker still at or above `floorDb`, plus one
// window, within the recording.
size_t findTailEnd(const Channels& x, size_t marker, double floorDb, uint32_t rate) {
    size_t window = rate / 50;
    size_t end = marker;
    for (size_t t = marker; t + window <= x[0].size(); t += window) {
        if (levelDb(x, t, window) >= floorDb) {
            end = t + 2 * window;
        }
    }
    return std::min(end, x[0].size());
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
    const size_t spliceLength =
        static_cast<size_t>(std::clamp(std::lround(2.0 * period), 512L, 2048L));
    const size_t maxLoop = static_cast<size_t>(settings.maxLoopSeconds * rate);
    if (marker >= frames || marker < maxLoop * 2 + spliceLength + rate / 10) {
        error = "release marker too early or past the end";
        return false;
    }

    const size_t sustainWindow = std::min<size_t>(rate * 3 / 10, marker / 2);
    const double sustainDb = levelDb(x, marker - sustainWindow, sustainWindow);
    const size_t latestStart =
        std::min(marker / 2, static_cast<size_t>(settings.maxAttackSeconds * rate));
    const size_t sustainStart =
        findSustainStart(x, latestStart, sustainDb, settings.attackToleranceDb, rate);

    const LoopChoice best = chooseLoop(x, settings, rate, period, sustainStart,
                                       marker - spliceLength - static_cast<size_t>(period));
    if (best.length == 0) {
        error = "no room for a loop between the attack and the release marker";
        return false;
    }
    const size_t a = best.start;
    const size_t loopLength = best.length;
    const size_t fade = loopLength / 2;

    const size_t releaseSource = chooseReleaseSource(x, a, marker, period, spliceLength);
    size_t tailEnd = findTailEnd(x, marker, sustainDb - settings.tailFloorDb, rate);
    tailEnd = std::max(tailEnd, std::min(frames, releaseSource + spliceLength));

    const size_t releaseLength = tailEnd - releaseSource;
    const size_t total = a + loopLength + releaseLength;
    out.channels.assign(x.size(), std::vector<float>(total));
    for (size_t c = 0; c < x.size(); c++) {
        const std::vector<float>& in = x[c];
        std::vector<float>& o = out.channels[c];
        std::copy(in.begin(), in.begin() + static_cast<long>(a + loopLength), o.begin());
        // Loop end fades into what preceded the loop start, so the jump back is seamless.
        for (size_t k = 0; k < fade; k++) {
            double w = (k + 0.5) / fade;
            size_t i = a + loopLength - fade + k;
            o[i] = static_cast<float>((1.0 - w) * in[i] + w * in[a - fade + k]);
        }
        // After the loop end the voice plays on: continue as the loop would, fading into
        // the release.
        for (size_t j = 0; j < releaseLength; j++) {
            double value = in[releaseSource + j];
            if (j < spliceLength) {
                double v = (j + 0.5) / spliceLength;
                value = (1.0 - v) * in[a + j] + v * value;
            }
            o[a + loopLength + j] = static_cast<float>(value);
        }
        size_t fadeOut = std::min(total, static_cast<size_t>(settings.tailFadeSeconds * rate));
        for (size_t k = 0; k < fadeOut; k++) {
            o[total - 1 - k] *= static_cast<float>(static_cast<double>(k) / fadeOut);
        }
    }

    out.loopStart = static_cast<uint32_t>(a);
    out.loopEnd = static_cast<uint32_t>(a + loopLength);
    out.sampleRate = rate;
    out.loopCents = best.cents;
    out.releaseSource = static_cast<uint32_t>(releaseSource);
    out.releaseMarker = static_cast<uint32_t>(marker);
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
