// A released key dies away as its pipe's recording does after the release marker (the
// first cue point): held 4 s alone (bank 1 holds each rank alone) and let go, its level
// 0.05-2 s after the release, relative to its sustain, against the recording's, relative
// to the recording's sustain. The recorded keys (F# and G) are held to it; the keys
// between, which play a neighbour's recording a few semitones away, are shown.
#include "offline_synth.h"
#include "signal_measure.h"

#include "../support/cases.h"
#include "../support/sanitized.h"
#include "bank_builder.h"
#include "loop_release.h"
#include "release_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kHeld = 4.0;
// Points where the recording has sunk further under its sustain are room noise; points
// where it swells above its sustain after the marker are not yet its fall (a release can
// only fall from the held level).
constexpr double kAudibleDb = -50.0;

struct RankCase {
    std::string name;
    int program; // bank 1
    std::string folder;
};

void PrintTo(const RankCase& c, std::ostream* os) {
    *os << c.name;
}

// The tone's colour over the 0.74 s from `from` seconds, both channels heard together;
// NaN where the recording ends within it.
double colourDb(const std::vector<float>& left, const std::vector<float>& right, double from,
                double hz) {
    const size_t start = static_cast<size_t>(std::lround(from * kRate));
    if (start + kColourFrames > std::min(left.size(), right.size())) {
        return NAN;
    }
    const auto window = [&](const std::vector<float>& x) {
        return std::vector<float>(x.begin() + static_cast<long>(start),
                                  x.begin() + static_cast<long>(start + kColourFrames));
    };
    return toneColourDb({window(left), window(right)}, 0, static_cast<uint32_t>(kRate), hz);
}

struct KeyFall {
    int key = 0;
    std::string file;
    std::vector<double> gaps; // bank minus recording, at the points the recording is heard
    // How far the tail's colour (from the release on) moves from the held tone's: the
    // bank's, and the recording's.
    double colourMoveDb = 0.0;
    double recordedColourMoveDb = 0.0;
    double worst() const {
        double w = 0.0;
        for (double g : gaps) {
            w = std::max(w, std::fabs(g));
        }
        return w;
    }
};

KeyFall measureFall(OfflineSynth& synth, const RankCase& rank, int key, const OrganPipe& pipe,
                    const WaveFile& wave) {
    synth.reset();
    synth.select(0, 1, rank.program);
    synth.noteOn(0, key, 100);
    synth.render(kHeld);
    synth.noteOff(0, key);
    synth.render(kReleasePoints.back() + 0.02);
    const std::vector<double> heard = fallAfter(synth.left, synth.right, kHeld, kRate);
    const std::vector<double> recorded =
        fallAfter(wave.getChannel(0), wave.getChannel(wave.getChannelCount() - 1),
                  wave.getCueOffsets().front() / kRate, kRate);
    KeyFall k;
    k.key = key;
    k.file = pipe.file;
    const double marker = wave.getCueOffsets().front() / kRate;
    const double pitch = wave.getUnityNote() + wave.getPitchFraction();
    const std::vector<float>& recLeft = wave.getChannel(0);
    const std::vector<float>& recRight = wave.getChannel(wave.getChannelCount() - 1);
    const double hz = midiPitchToHz(std::round(pitch));
    k.colourMoveDb = colourDb(synth.left, synth.right, kHeld, hz) -
                     colourDb(synth.left, synth.right, kHeld - 0.8, hz);
    k.recordedColourMoveDb = colourDb(recLeft, recRight, marker, midiPitchToHz(pitch)) -
                             colourDb(recLeft, recRight, marker - 0.8, midiPitchToHz(pitch));
    for (size_t i = 0; i < recorded.size(); i++) {
        if (recorded[i] > kAudibleDb && recorded[i] <= 0.0) {
            k.gaps.push_back(heard[i] - recorded[i]);
        }
    }
    return k;
}

double medianOf(std::vector<double> a) {
    std::sort(a.begin(), a.end());
    return a.empty() ? 0.0 : a[a.size() / 2];
}

class BankRelease : public ::testing::TestWithParam<RankCase> {};

// The recorded keys' falls follow their recordings': half the points of a rank lie within
// 3.1 dB of them, and no point is more than 11.7 dB off (the line alone, before, stood
// 2.5-3.2 dB off at half the points and up to 15.2 dB at worst). The voice's fall is a
// line and at most one bend, and the bend (the filter's sweep) is kept shallow where it
// would dull the tail: the tail's colour, against the held tone's, moves as the
// recording's does, within 3 dB or as far as the recording's own tail moves, and 4 dB
// for the measure (tails made by the sweep alone, fitted to the level only, moved up to
// 29 dB off).
TEST_P(BankRelease, ReleasedKeysDieAwayAsTheirRecordings) {
    const RankCase& rank = GetParam();
    OfflineSynth synth(bankPath());
    ZipArchive zip(sampleSetPath());
    OrganDefinition organ;
    std::string error;
    ASSERT_TRUE(synth.isLoaded() && zip.isOpen() && readPackageOrgan(zip, organ, error)) << error;
    const std::map<std::string, OrganRank> ranks = organ.findRanks();
    const OrganRank& r = ranks.at(rank.folder);
    std::map<std::string, WaveFile> waves;
    std::vector<double> gaps[2];
    int within6 = 0, recordedKeys = 0;
    std::vector<double> colourGaps;
    KeyFall worst[2];
    for (int key = 36; key <= 96; key++) {
        const bool recorded = key % 12 == 6 || key % 12 == 7;
        // Between the recorded keys: the farthest from them (C) and two more.
        if (!recorded && (VENNOR_SANITIZED || (key % 12 != 0 && key % 12 != 3 && key % 12 != 9))) {
            continue;
        }
        const OrganPipe* pipe = r.pipeForKey(key);
        ASSERT_NE(pipe, nullptr) << key;
        if (!waves.count(pipe->file)) {
            ASSERT_TRUE(readPackageWave(zip, pipe->file, waves[pipe->file], error)) << error;
        }
        const KeyFall k = measureFall(synth, rank, key, *pipe, waves.at(pipe->file));
        for (double g : k.gaps) {
            gaps[recorded].push_back(std::fabs(g));
        }
        if (k.worst() > worst[recorded].worst()) {
            worst[recorded] = k;
        }
        if (!recorded) {
            continue;
        }
        recordedKeys++;
        within6 += k.worst() <= 6.0;
        if (!std::isnan(k.recordedColourMoveDb)) {
            const double gap = std::fabs(k.colourMoveDb - k.recordedColourMoveDb);
            const double allowed = std::max(3.0, std::fabs(k.recordedColourMoveDb)) + 4.0;
            EXPECT_LE(gap, allowed) << k.file << " at key " << key;
            colourGaps.push_back(gap);
        }
        EXPECT_LE(k.worst(), 11.7) << k.file << " at key " << key;
    }
    EXPECT_EQ(recordedKeys, 10);
    EXPECT_LE(medianOf(gaps[1]), 3.1);
    std::printf("%s released after 4 s, level against the recording's: recorded keys median "
                "gap %.1f dB, worst %.1f dB (key %d), %d of %d keys within 6 dB at every point; "
                "keys between median %.1f dB, worst %.1f dB (key %d, playing %s); tail colour "
                "off the recording's move by %.1f dB (median) and %.1f (worst)\n",
                rank.name.c_str(), medianOf(gaps[1]), worst[1].worst(), worst[1].key, within6,
                recordedKeys, medianOf(gaps[0]), worst[0].worst(), worst[0].key,
                worst[0].file.c_str(), medianOf(colourGaps),
                colourGaps.empty() ? 0.0 : *std::max_element(colourGaps.begin(), colourGaps.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Ranks, BankRelease,
    ::testing::Values(RankCase{"Montre8", 0, "Montre8"}, RankCase{"Bourdon8", 1, "Bourdon8"},
                      RankCase{"FluteHarmonique8", 2, "FlHarm8"}, RankCase{"Gambe8", 3, "Gamba8"},
                      RankCase{"Hautbois8", 4, "Hautbois8"},
                      RankCase{"Trompette8", 5, "Trompette8"}, RankCase{"Octavin2", 6, "Octavin2"}),
    CaseName());

} // namespace
