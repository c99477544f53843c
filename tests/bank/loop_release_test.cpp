// Preparing a recording for the bank: attack and sustain kept up to a loop of a second or
// more, of whole periods, where the held note is steadiest; pitch data from 'smpl'.
#include "offline_synth.h"
#include "signal_measure.h"
#include "wave_bytes.h"

#include "loop_release.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

// A pipe-like recording: 0.2 s attack, steady tone with wind noise, released at `marker`
// into a 60 dB/s decay; its level sinks steadily by `driftDb` from the attack to the marker.
// After the marker the tone sinks bendDb within 0.1 s (the pipe stops speaking), its upper
// partials dullDb more, and it falls at the room's pace from the start.
WaveBytes pipeRecording(double midiPitch, double marker = 3.0, double total = 4.0,
                        double driftDb = 0.0, double fallDbPerSecond = 60.0, double bendDb = 0.0,
                        double dullDb = 0.0) {
    WaveBytes w;
    double hz = midiPitchToHz(midiPitch);
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0.0, 0.002);
    w.channels.assign(2, std::vector<float>(static_cast<size_t>(total * kRate)));
    for (size_t i = 0; i < w.channels[0].size(); i++) {
        double t = i / kRate;
        double level =
            std::min(1.0, t / 0.2) *
            (t < marker ? 1.0
                        : std::pow(10.0, -(fallDbPerSecond * (t - marker) +
                                           bendDb * std::min(1.0, (t - marker) / 0.1)) /
                                             20.0)) *
            std::pow(10.0, -driftDb * std::clamp((t - 0.2) / (marker - 0.2), 0.0, 1.0) / 20.0);
        const double upper =
            t < marker ? 1.0 : std::pow(10.0, -dullDb * std::min(1.0, (t - marker) / 0.1) / 20.0);
        for (int c = 0; c < 2; c++) {
            double phase = 2.0 * M_PI * hz * t + c;
            double v = 0.3 * std::sin(phase) +
                       upper * (0.1 * std::sin(2 * phase) + 0.05 * std::sin(3 * phase));
            w.channels[static_cast<size_t>(c)][i] =
                static_cast<float>(level * v + noise(rng) * level);
        }
    }
    w.sampler = true;
    w.unityNote = static_cast<uint32_t>(std::floor(midiPitch));
    w.pitchFraction = static_cast<uint32_t>((midiPitch - std::floor(midiPitch)) * 4294967296.0);
    w.loops = {{static_cast<uint32_t>(0.8 * kRate), static_cast<uint32_t>(1.8 * kRate)}};
    w.cues = {static_cast<uint32_t>(marker * kRate)};
    return w;
}

PreparedSample prepare(const WaveBytes& w) {
    WaveFile wave;
    std::string error;
    EXPECT_TRUE(wave.parse(w.build(), error)) << error;
    PreparedSample p;
    EXPECT_TRUE(prepareSample(wave, LoopSettings(), p, error)) << error;
    return p;
}

// The loop lies in the stretch a held note is heard over (from 1 s), plays on at the
// recording's pitch, and the sample ends with it. Of loops as steady, the one ending
// first keeps the bank small: in a steady recording, well before the marker at 3 s.
TEST(LoopRelease, LoopIsASecondOrMoreOfWholePeriodsFromTheHeldStretch) {
    for (double pitch : {30.2, 57.13, 91.7}) {
        PreparedSample p = prepare(pipeRecording(pitch));
        double length = (p.loopEnd - p.loopStart) / kRate;
        EXPECT_GE(length, 0.99) << pitch;
        EXPECT_LE(length, 2.0) << pitch;
        EXPECT_GE(p.loopStart / kRate, 0.99) << pitch;
        EXPECT_LE(p.loopEnd / kRate, 2.5) << pitch;
        EXPECT_EQ(p.channels[0].size(), p.loopEnd + 8u) << pitch;
        std::vector<float> looped;
        while (looped.size() < 100000) {
            looped.insert(looped.end(), p.channels[0].begin() + p.loopStart,
                          p.channels[0].begin() + p.loopEnd);
        }
        double hz = measureFundamentalHz(looped, 0, kRate, midiPitchToHz(pitch));
        EXPECT_NEAR(centsBetween(hz, midiPitchToHz(pitch)), 0.0, 0.3) << pitch;
        // The seam, passed twice in the slice measured, stands out no more than the tone.
        size_t seam = 2 * (p.loopEnd - p.loopStart);
        EXPECT_LT(clickProminenceDb(looped, seam - 2205, seam + 2205, kRate),
                  clickProminenceDb(looped, 2205, 6615, kRate) + 3.0)
            << pitch;
    }
}

// A drift of level across the loop would come back at every pass as a sawtooth: the loop's
// end is brought to its start's level. A recording released early gets a shorter loop
// clear of its attack.
TEST(LoopRelease, LoopEndsAtItsStartsLevelAndKeepsClearOfTheAttack) {
    WaveBytes sinking = pipeRecording(57.13, 3.0, 4.0, 6.0);
    PreparedSample p = prepare(sinking);
    const size_t edge = static_cast<size_t>(0.2 * kRate);
    auto drop = [&](const std::vector<float>& x) {
        return levelDb(x, p.loopStart, p.loopStart + edge) -
               levelDb(x, p.loopEnd - edge, p.loopEnd);
    };
    EXPECT_GT(drop(sinking.channels[0]), 1.5);
    EXPECT_NEAR(drop(p.channels[0]), 0.0, 0.5);

    PreparedSample early = prepare(pipeRecording(57.13, 1.0, 2.0));
    EXPECT_GE(early.loopStart / kRate, 0.2);
    EXPECT_LE(early.loopEnd / kRate, 1.0);
    EXPECT_GE((early.loopEnd - early.loopStart) / kRate, 0.4);
}

// FluidSynth's release falls 96 dB over the release time: a straight fall of 60 dB a
// second is 1.6 s, and the line alone. A fall that first sinks 12 dB as the pipe stops
// speaking, losing its upper partials, takes the filter's sweep for the bend and the line
// for the room; where the tail keeps its partials the sweep would dull it, and the line
// alone stays (and misses the bend).
TEST(LoopRelease, ReleaseFollowsTheRecordedFallAndColour) {
    const struct {
        double fallDbPerSecond, bendDb, dullDb, seconds;
        bool sweeps;
        double worstDb;
    } cases[] = {{60.0, 0.0, 0.0, 1.6, false, 1.0},
                 {20.0, 12.0, 30.0, 4.8, true, 2.0},
                 {20.0, 12.0, 0.0, NAN, false, 12.0}};
    for (const auto& c : cases) {
        const ReleaseFit fit =
            prepare(pipeRecording(57.13, 3.0, 5.5, 0.0, c.fallDbPerSecond, c.bendDb, c.dullDb))
                .release;
        if (!std::isnan(c.seconds)) {
            EXPECT_NEAR(fit.seconds, c.seconds, 0.05 * c.seconds) << c.bendDb << " " << c.dullDb;
        }
        EXPECT_EQ(fit.sweeps(), c.sweeps) << c.bendDb << " " << c.dullDb;
        EXPECT_LE(fit.worstGapDb, c.worstDb) << c.bendDb << " " << c.dullDb;
    }
}

TEST(LoopRelease, PitchDataBecomesRootKeyAndCorrection) {
    PreparedSample sharp = prepare(pipeRecording(57.13));
    EXPECT_EQ(sharp.rootKey, 57);
    EXPECT_EQ(sharp.correctionCents, -13);
    PreparedSample flat = prepare(pipeRecording(65.81));
    EXPECT_EQ(flat.rootKey, 66);
    EXPECT_EQ(flat.correctionCents, 19);
}

TEST(LoopRelease, RefusesRecordingsWithoutPitchDataOrMarker) {
    WaveFile wave;
    std::string error;
    PreparedSample p;
    WaveBytes noPitch = pipeRecording(60.0);
    noPitch.sampler = false;
    ASSERT_TRUE(wave.parse(noPitch.build(), error));
    EXPECT_FALSE(prepareSample(wave, LoopSettings(), p, error));
    EXPECT_EQ(error, "no pitch data ('smpl' chunk)");

    WaveBytes noMarker = pipeRecording(60.0);
    noMarker.cues.clear();
    ASSERT_TRUE(wave.parse(noMarker.build(), error));
    EXPECT_FALSE(prepareSample(wave, LoopSettings(), p, error));
    EXPECT_EQ(error, "no release marker ('cue ' chunk)");

    WaveBytes early = pipeRecording(60.0, 0.2, 1.0);
    ASSERT_TRUE(wave.parse(early.build(), error));
    EXPECT_FALSE(prepareSample(wave, LoopSettings(), p, error));
    EXPECT_EQ(error, "release marker too early or past the end");
}

} // namespace
