// Loop points: the jump from a loop's end back to its start is no larger than the steps
// inside the recorded sound, and no larger than at the recordings' own loop points.
#include "offline_synth.h"
#include "sf2_reader.h"
#include "signal_measure.h"

#include "bank_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The seam's second difference (as played: ... end-2, end-1, start, start+1 ...) against
// the largest second difference inside the loop.
double seamRatio(const std::vector<float>& x, size_t start, size_t end) {
    double seam = std::max(std::fabs(x[start] - 2.0 * x[end - 1] + x[end - 2]),
                           std::fabs(x[start + 1] - 2.0 * x[start] + x[end - 1]));
    double body = 0.0;
    for (size_t i = start + 1; i + 1 < end; i++) {
        body = std::max(body, std::fabs(x[i + 1] - 2.0 * x[i] + x[i - 1]));
    }
    return seam / body;
}

TEST(BankLoops, SeamsAreNoRougherThanTheRecordingsOwn) {
    Sf2File font;
    ASSERT_TRUE(font.read(bankPath()));
    ASSERT_FALSE(font.samples.empty());
    double worstOurs = 0.0;
    for (const Sf2SampleHeader& s : font.samples) {
        std::vector<float> x = font.samplePcm(s);
        double r = seamRatio(x, s.loopStart - s.start, s.loopEnd - s.start);
        EXPECT_LE(r, 1.0) << s.name;
        worstOurs = std::max(worstOurs, r);
    }

    ZipArchive zip(sampleSetPath());
    ASSERT_TRUE(zip.isOpen());
    double worstRecorded = 0.0;
    for (const std::string& name : zip.getEntryNames()) {
        WaveFile wave;
        std::string error;
        if (name.rfind("Sounds/", 0) == 0 || name.find(".wav") == std::string::npos ||
            !readPackageWave(zip, name, wave, error)) {
            continue;
        }
        for (const WaveLoop& loop : wave.getLoops()) {
            for (int c = 0; c < wave.getChannelCount(); c++) {
                worstRecorded = std::max(worstRecorded,
                                         seamRatio(wave.getChannel(c), loop.start, loop.end + 1));
            }
        }
    }
    std::printf("worst seam / largest step inside the loop: bank %.2f, recordings' own loops "
                "%.2f\n",
                worstOurs, worstRecorded);
    EXPECT_LE(worstOurs, worstRecorded);
}

// Every recording the ranks play at their own pitch, held through many loop passes: the
// rendered sound is no rougher where the voice jumps back than elsewhere in the loop (a
// click at each pass stands 6 dB and more above; see signal_measure_test).
TEST(BankLoops, RenderedLoopPassesAreSeamless) {
    OfflineSynth synth(bankPath());
    ASSERT_TRUE(synth.isLoaded());
    Sf2File font;
    ASSERT_TRUE(font.read(bankPath()));
    const struct {
        const char* folder;
        int program;
        int soundingOffset;
    } ranks[] = {{"Montre8", 0, 0},   {"Bourdon8", 1, 0},   {"FlHarm8", 2, 0},  {"Gamba8", 3, 0},
                 {"Hautbois8", 4, 0}, {"Trompette8", 5, 0}, {"Octavin2", 6, 24}};
    int checked = 0;
    double worst = -100.0;
    for (const auto& rank : ranks) {
        for (int key = 42; key <= 91; key++) {
            if (key % 12 != 6 && key % 12 != 7) {
                continue; // only F# and G are recorded
            }
            char name[64];
            std::snprintf(name, sizeof name, "%s %03d-%s L", rank.folder, key,
                          key % 12 == 6 ? "F#" : "G");
            auto s = std::find_if(font.samples.begin(), font.samples.end(),
                                  [&](const Sf2SampleHeader& h) { return h.name == name; });
            ASSERT_NE(s, font.samples.end()) << name;
            synth.reset();
            synth.select(0, 1, rank.program);
            synth.noteOn(0, key, 100);
            synth.render(6.0);
            // Where the voice reads the sample: frames advance by the playback ratio.
            double semitones = key + rank.soundingOffset - s->originalPitch + s->correction / 100.0;
            double ratio = std::pow(2.0, semitones / 12.0);
            double toneHz = 440.0 * std::pow(2.0, (key + rank.soundingOffset - 69) / 12.0);
            double excess =
                seamExcessDb(synth.left, (s->loopEnd - s->start) / ratio,
                             (s->loopEnd - s->loopStart) / ratio, kRate / toneHz, kRate);
            EXPECT_LE(excess, 3.0) << name;
            worst = std::max(worst, excess);
            checked++;
        }
    }
    std::printf("%d recordings looped: seam slices at most %.2f dB above the slices between\n",
                checked, worst);
    EXPECT_EQ(checked, 70);
}

} // namespace
