// Preparing a recording for the bank: attack kept, a short loop of whole periods just
// after it, the recorded release joined on after the loop, pitch data from 'smpl'.
#include "offline_synth.h"
#include "signal_measure.h"
#include "wave_bytes.h"

#include "loop_release.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// A pipe-like recording: 0.2 s attack, steady tone with wind noise, released at `marker`
// into a 60 dB/s decay.
WaveBytes pipeRecording(double midiPitch, double marker = 2.0, double total = 3.5) {
    WaveBytes w;
    double hz = midiPitchToHz(midiPitch);
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0.0, 0.002);
    w.channels.assign(2, std::vector<float>(static_cast<size_t>(total * kRate)));
    for (size_t i = 0; i < w.channels[0].size(); i++) {
        double t = i / kRate;
        double level =
            std::min(1.0, t / 0.2) * (t < marker ? 1.0 : std::pow(10.0, -3.0 * (t - marker)));
        for (int c = 0; c < 2; c++) {
            double phase = 2.0 * M_PI * hz * t + c;
            double v =
                0.3 * std::sin(phase) + 0.1 * std::sin(2 * phase) + 0.05 * std::sin(3 * phase);
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

TEST(LoopRelease, LoopIsWholePeriodsRightAfterTheAttack) {
    for (double pitch : {30.2, 57.13, 91.7}) {
        PreparedSample p = prepare(pipeRecording(pitch));
        double length = (p.loopEnd - p.loopStart) / kRate;
        EXPECT_GE(length, 0.09) << pitch;
        EXPECT_LE(length, 0.15) << pitch;
        double periods = (p.loopEnd - p.loopStart) * midiPitchToHz(pitch) / kRate;
        EXPECT_NEAR(periods, std::round(periods), 0.01) << pitch;
        EXPECT_LE(std::fabs(p.loopCents), 0.2) << pitch;
        // After the 0.2 s attack, long before the recording's own loop at 0.8 s.
        EXPECT_GE(p.loopStart / kRate, 0.2) << pitch;
        EXPECT_LE(p.loopStart / kRate, 0.7) << pitch;
        // The looped sound plays on at the recording's pitch.
        std::vector<float> looped;
        while (looped.size() < 40000) {
            looped.insert(looped.end(), p.channels[0].begin() + p.loopStart,
                          p.channels[0].begin() + p.loopEnd);
        }
        double hz = measureFundamentalHz(looped, 0, kRate, midiPitchToHz(pitch));
        EXPECT_NEAR(centsBetween(hz, midiPitchToHz(pitch)), 0.0, 0.3) << pitch;
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

TEST(LoopRelease, ReleaseFollowsTheLoopAndIsCutWhenSilent) {
    WaveBytes w = pipeRecording(57.13);
    PreparedSample p = prepare(w);
    const std::vector<float>& out = p.channels[0];
    const std::vector<float>& in = w.channels[0];
    EXPECT_LE(std::abs(static_cast<long>(p.releaseSource) - static_cast<long>(p.releaseMarker)),
              static_cast<long>(kRate / midiPitchToHz(57.13)) + 1);
    // 0.3 s into the release the level is the recording's 0.3 s after its marker.
    size_t heard = p.loopEnd + static_cast<size_t>(0.3 * kRate);
    size_t recorded = p.releaseSource + static_cast<size_t>(0.3 * kRate);
    EXPECT_NEAR(levelDb(out, heard, heard + 2205), levelDb(in, recorded, recorded + 2205), 0.5);
    // The decay reaches the floor (50 dB down at 60 dB/s) after 0.83 s; the rest is gone.
    double floorSeconds = LoopSettings().tailFloorDb / 60.0;
    double releaseSeconds = (out.size() - p.loopEnd) / kRate;
    EXPECT_GT(releaseSeconds, floorSeconds);
    EXPECT_LT(releaseSeconds, floorSeconds + 0.1);
    EXPECT_LT(releaseSeconds, 1.5 - 0.2); // well short of the recording's 1.5 s after its marker
    EXPECT_EQ(out.back(), 0.0f);
    // The splice after the loop end is as smooth as the tone itself.
    double steady =
        clickProminenceDb(in, static_cast<size_t>(kRate), static_cast<size_t>(1.5 * kRate), kRate);
    EXPECT_LT(clickProminenceDb(out, p.loopEnd - 2205, p.loopEnd + 2205, kRate), steady + 3.0);
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
