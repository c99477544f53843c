// Held and released keys against the recordings they play. Every key 36-96 of every rank
// (bank 1 holds each rank alone) is held 4 s, once, and held to its tuning. The recorded
// keys (F# and G) are then let go, and held to the steadiness and tone of their
// recordings and to a release without a click (how the release falls is held to the
// recordings in bank_release_test.cpp); the steadiness of the keys between, which play a recording
// up to six semitones away, is shown.
#include "offline_synth.h"
#include "signal_measure.h"

#include "../support/sanitized.h"
#include "bank_builder.h"
#include "loop_release.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

constexpr double kHeld = 4.0;
constexpr double kReleased = 1.5;
constexpr double kFrom = 1.0; // the stretch of the held note that is measured
constexpr double kTo = 3.8;

struct KeyResult {
    std::string file;
    int key = 0;
    bool recorded = false;
    double cents = 0.0;              // held pitch against equal temperament at A4 = 440 Hz
    double steadinessExcessDb = 0.0; // envelope modulation above the recording's
    double toneErrorDb = 0.0;        // worst harmonic off the recording, level set aside
    double recordingDriftDb = 0.0;   // the recording's own drift, worked out where tone fails
    double releaseStepRatio = 0.0;   // largest sample step after the release / before it
};

double largestStep(const std::vector<float>& x, size_t from, size_t to) {
    double step = 0.0;
    for (size_t i = std::max<size_t>(from, 1); i < to && i < x.size(); i++) {
        step = std::max(step, static_cast<double>(std::fabs(x[i] - x[i - 1])));
    }
    return step;
}

// Worst harmonic level difference, once their mean difference is set aside, over the
// harmonics of `reference` within 30 dB of its strongest and below 16 kHz.
double toneError(const std::vector<double>& levels, const std::vector<double>& reference,
                 double hz) {
    double strongest = *std::max_element(reference.begin(), reference.end());
    std::vector<double> differences;
    for (size_t h = 0; h < reference.size(); h++) {
        if (reference[h] >= strongest - 30.0 && (h + 1) * hz < 16000.0) {
            differences.push_back(levels[h] - reference[h]);
        }
    }
    double mean = 0.0;
    for (double d : differences) {
        mean += d / static_cast<double>(differences.size());
    }
    double worst = 0.0;
    for (double d : differences) {
        worst = std::max(worst, std::fabs(d - mean));
    }
    return worst;
}

KeyResult measure(const OfflineSynth& synth, const WaveFile& wave, const std::string& file, int key,
                  int soundingOffset) {
    KeyResult r;
    r.file = file;
    r.key = key;
    const double recordedPitch = wave.getUnityNote() + wave.getPitchFraction();
    const double heardPitch = key + soundingOffset;
    const double ratio = std::pow(2.0, (heardPitch - recordedPitch) / 12.0);
    const std::vector<float>& recLeft = wave.getChannel(0);
    const std::vector<float>& recRight = wave.getChannel(wave.getChannelCount() - 1);

    // The recording is held only until its release marker, often before 3.8 s: both
    // are measured over the same length of sustain, the rendered note at both ends of
    // its stretch (before and after the loop has come round).
    const double marker = wave.getCueOffsets().front() / kRate / ratio;
    const double start = std::min(kFrom, marker - 0.8);
    const double length = std::min(kTo - kFrom, marker - start);
    const double recordingModulation = envelopeModulationDb(
        recLeft, recRight, start * kRate * ratio, (start + length) * kRate * ratio, kRate * ratio);
    const double heardModulation = std::max(
        envelopeModulationDb(synth.left, synth.right, kFrom * kRate, (kFrom + length) * kRate,
                             kRate),
        envelopeModulationDb(synth.left, synth.right, (kTo - length) * kRate, kTo * kRate, kRate));
    r.steadinessExcessDb = heardModulation - recordingModulation;

    // A held pipe's pitch wanders by a few cents: its tuning is the mean over the stretch,
    // on both channels.
    const double heardHz = midiPitchToHz(heardPitch);
    for (double at : {1.0, 1.7, 2.4, 3.05}) {
        for (const std::vector<float>* x : {&synth.left, &synth.right}) {
            r.cents += centsBetween(measureFundamentalHz(*x, static_cast<size_t>(at * kRate), kRate,
                                                         heardHz),
                                    heardHz) /
                       8.0;
        }
    }

    if (key % 12 == 6 || key % 12 == 7) {
        const size_t recFrom = static_cast<size_t>(start * kRate * ratio);
        const size_t recTo = static_cast<size_t>((start + length) * kRate * ratio);
        const double recHz = midiPitchToHz(recordedPitch);
        const std::vector<float>* channels[2][2] = {{&synth.left, &recLeft},
                                                    {&synth.right, &recRight}};
        for (const auto& channel : channels) {
            std::vector<double> reference =
                harmonicLevelsDb(*channel[1], recFrom, recTo, kRate, recHz, 8);
            std::vector<double> heard = harmonicLevelsDb(
                *channel[0], static_cast<size_t>(kFrom * kRate), static_cast<size_t>(kTo * kRate),
                kRate, midiPitchToHz(heardPitch), 8);
            double error = toneError(heard, reference, recHz);
            if (error > 3.0) {
                // How far the recording itself moves: its first half against its second.
                const size_t middle = (recFrom + recTo) / 2;
                r.recordingDriftDb = std::max(
                    r.recordingDriftDb,
                    toneError(harmonicLevelsDb(*channel[1], recFrom, middle, kRate, recHz, 8),
                              harmonicLevelsDb(*channel[1], middle, recTo, kRate, recHz, 8),
                              recHz));
            }
            r.toneErrorDb = std::max(r.toneErrorDb, error);
        }
    }

    const size_t noteOff = static_cast<size_t>(kHeld * kRate);
    if (synth.frames() > noteOff) {
        for (const std::vector<float>* x : {&synth.left, &synth.right}) {
            r.releaseStepRatio =
                std::max(r.releaseStepRatio, largestStep(*x, noteOff, x->size()) /
                                                 largestStep(*x, kFrom * kRate, noteOff));
        }
    }
    return r;
}

// The keys from..to of every rank held 4 s (and let go), measured against their
// recordings: all of them, or the recorded ones and every fourth key between.
std::vector<KeyResult> renderKeys(int from, int to, bool everyKey) {
    std::vector<KeyResult> results;
    OfflineSynth synth(bankPath());
    ZipArchive zip(sampleSetPath());
    OrganDefinition organ;
    std::string error;
    if (!synth.isLoaded() || !zip.isOpen() || !readPackageOrgan(zip, organ, error)) {
        return results;
    }
    const char* folders[] = {"Montre8",   "Bourdon8",   "FlHarm8", "Gamba8",
                             "Hautbois8", "Trompette8", "Octavin2"};
    std::map<std::string, OrganRank> ranks = organ.findRanks();
    std::map<std::string, WaveFile> waves;
    for (int program = 0; program < 7; program++) {
        const OrganRank& rank = ranks.at(folders[program]);
        for (int key = from; key <= to; key++) {
            bool recorded = key % 12 == 6 || key % 12 == 7;
            if (!everyKey && !recorded && key % 4 != 0) {
                continue;
            }
            const OrganPipe* pipe = rank.pipeForKey(key);
            if (pipe == nullptr || (!waves.count(pipe->file) &&
                                    !readPackageWave(zip, pipe->file, waves[pipe->file], error))) {
                return results;
            }
            synth.reset();
            synth.select(0, 1, program);
            synth.noteOn(0, key, 100);
            synth.render(kHeld);
            if (recorded) {
                synth.noteOff(0, key);
                synth.render(kReleased);
            }
            results.push_back(
                measure(synth, waves.at(pipe->file), pipe->file, key, rank.soundingOffset()));
            results.back().recorded = recorded;
        }
    }
    return results;
}

std::string describe(const KeyResult& r) {
    return r.file + " played at key " + std::to_string(r.key);
}

// One render per key, four checks: in tune (the recordings stand some 13 cents sharp, the
// Octavin about 19 flat, and the samples' pitch data corrects them), as steady as the
// recording, its harmonics, and a release without a click. Where a recording's own
// harmonics move more than the tolerance within the stretch a loop cannot follow them:
// those keys are shown with both figures and held to the recording's own movement.
void expectHeldKeysTrue(const std::vector<KeyResult>& results) {
    struct Worst {
        double value = -100.0;
        std::string where;
        void take(double v, const KeyResult& r) {
            if (v > value) {
                value = v;
                where = describe(r);
            }
        }
    } cents, steadiness[2], tone, step;
    for (const KeyResult& r : results) {
        EXPECT_LE(std::fabs(r.cents), 2.0) << describe(r);
        cents.take(std::fabs(r.cents), r);
        steadiness[r.recorded].take(r.steadinessExcessDb, r);
        if (!r.recorded) {
            continue;
        }
        EXPECT_LE(r.steadinessExcessDb, 3.0) << describe(r);
        EXPECT_LE(r.releaseStepRatio, 1.0) << describe(r);
        step.take(r.releaseStepRatio, r);
        EXPECT_LE(r.toneErrorDb, std::max(3.0, r.recordingDriftDb))
            << describe(r) << "; the recording's own harmonics move " << r.recordingDriftDb
            << " dB between the halves of the stretch";
        if (r.toneErrorDb > 3.0) {
            std::printf("%s: harmonics %.1f dB off the recording's, which itself moves %.1f dB\n",
                        describe(r).c_str(), r.toneErrorDb, r.recordingDriftDb);
        } else {
            tone.take(r.toneErrorDb, r);
        }
    }
    std::printf("%zu keys held 4 s: pitch within %.2f cents (%s)\n", results.size(), cents.value,
                cents.where.c_str());
    std::printf("envelope modulation above the recording's, worst: recorded keys %+.1f dB (%s), "
                "keys between %+.1f dB (%s)\n",
                steadiness[1].value, steadiness[1].where.c_str(), steadiness[0].value,
                steadiness[0].where.c_str());
    std::printf("harmonics 1-8 off the recording's, level set aside, where it is steady: worst "
                "%.1f dB (%s)\n",
                tone.value, tone.where.c_str());
    std::printf("largest step after the release %.2f of the sustain's\n", step.value);
}

// Every key 36-96 (labelled heavy: the sanitizer pass runs the variant below).
TEST(BankHeldKeys, InTuneSteadyTrueToTheRecordingAndReleasedWithoutAStep) {
    const std::vector<KeyResult> results = renderKeys(36, 96, true);
    ASSERT_EQ(results.size(), 7u * 61u);
    expectHeldKeysTrue(results);
}

// The same checks on one octave, the recorded keys and every fourth, under the
// sanitizers; elsewhere the test above covers it.
TEST(BankHeldKeys, OneOctaveUnderTheSanitizers) {
    if (!VENNOR_SANITIZED) {
        GTEST_SKIP() << "the whole keyboard is held in BankHeldKeys.InTuneSteady...";
    }
    const std::vector<KeyResult> results = renderKeys(60, 71, false);
    ASSERT_EQ(results.size(), 7u * 5u);
    expectHeldKeysTrue(results);
}

} // namespace
