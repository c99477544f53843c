// Loudness of the registrations: every program within a stated range, the combinations
// growing from stop control 1 to 6, the four programs of a stop control telling apart, and
// the swell's velocity steps changing its loudness audibly.
#include "offline_synth.h"
#include "signal_measure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

// A held chord C3 C4 E4 G4 at the player's velocity (65), measured once per program; the
// pedal plays its C alone, as rolls use it.
constexpr double kSoftestDb = -40.0;
constexpr double kLoudestDb = -16.0;

struct Measured {
    double levelDb = 0.0;
    std::vector<double> bands;
};

int channelOf(int program) {
    return program == 0 ? 0 : program < 70 ? 1 : 2;
}

class BankLoudness : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        OfflineSynth synth(bankPath());
        if (!synth.isLoaded()) {
            return;
        }
        std::vector<int> programs = {0};
        for (int control = 1; control <= 6; control++) {
            for (int k = 0; k < 4; k++) {
                programs.push_back(10 * control + k);
                programs.push_back(10 * control + 60 + k);
            }
        }
        for (int program : programs) {
            int channel = channelOf(program);
            std::vector<int> keys =
                program == 0 ? std::vector<int>{36} : std::vector<int>{48, 60, 64, 67};
            synth.reset();
            fluid_synth_program_change(synth.get(), channel, program);
            for (int key : keys) {
                synth.noteOn(channel, key, 65);
            }
            synth.render(1.3);
            std::vector<float> mono = synth.mono();
            const size_t from = static_cast<size_t>(0.5 * kRate);
            Measured& m = measured[program];
            m.levelDb =
                10.0 * std::log10((std::pow(10.0, levelDb(synth.left, from, mono.size()) / 10) +
                                   std::pow(10.0, levelDb(synth.right, from, mono.size()) / 10)) /
                                  2.0);
            m.bands = bandLevelsDb(mono, from, kRate);
        }
    }

    static std::map<int, Measured> measured;
};

std::map<int, Measured> BankLoudness::measured;

TEST_F(BankLoudness, EveryProgramWithinTheStatedRange) {
    ASSERT_EQ(measured.size(), 49u);
    double softest = 0.0, loudest = -200.0;
    for (const auto& [program, m] : measured) {
        EXPECT_GE(m.levelDb, kSoftestDb) << "program " << program;
        EXPECT_LE(m.levelDb, kLoudestDb) << "program " << program;
        softest = std::min(softest, m.levelDb);
        loudest = std::max(loudest, m.levelDb);
    }
    std::printf("chord levels from %.1f to %.1f dBFS (stated range %.0f to %.0f)\n", softest,
                loudest, kSoftestDb, kLoudestDb);
}

// Average of a stop control's four programs on one division.
double combinationLevel(const std::map<int, Measured>& m, int control, int division) {
    double sum = 0.0;
    for (int k = 0; k < 4; k++) {
        sum += m.at(10 * control + division + k).levelDb;
    }
    return sum / 4.0;
}

TEST_F(BankLoudness, CombinationsGrowFromSoftAtOneTowardsSix) {
    ASSERT_EQ(measured.size(), 49u);
    for (int division : {0, 60}) {
        double first = combinationLevel(measured, 1, division);
        double previous = first;
        for (int control = 2; control <= 6; control++) {
            double level = combinationLevel(measured, control, division);
            EXPECT_GT(level, first) << "stop control " << control << " division " << division;
            // Broadly growing: no combination drops far below the one before.
            EXPECT_GT(level, previous - 1.5) << "stop control " << control;
            previous = level;
        }
        EXPECT_GT(combinationLevel(measured, 6, division) - first, 6.0);
        std::printf(
            "%s: combinations 1-6 average %.1f %.1f %.1f %.1f %.1f %.1f dBFS\n",
            division == 0 ? "swell" : "great", first, combinationLevel(measured, 2, division),
            combinationLevel(measured, 3, division), combinationLevel(measured, 4, division),
            combinationLevel(measured, 5, division), combinationLevel(measured, 6, division));
    }
}

// Louder by a decibel, or a different colour: third-octave profiles (level set aside) at
// least 1.5 dB apart on average.
TEST_F(BankLoudness, TheFourProgramsOfAStopControlDifferAudibly) {
    ASSERT_EQ(measured.size(), 49u);
    double closest = 100.0;
    for (int control = 1; control <= 6; control++) {
        for (int division : {0, 60}) {
            for (int a = 0; a < 4; a++) {
                for (int b = a + 1; b < 4; b++) {
                    const Measured& x = measured.at(10 * control + division + a);
                    const Measured& y = measured.at(10 * control + division + b);
                    double level = std::fabs(x.levelDb - y.levelDb);
                    std::vector<double> shifted = y.bands;
                    for (double& band : shifted) {
                        band += x.levelDb - y.levelDb;
                    }
                    double colour = spectralDistanceDb(x.bands, shifted);
                    EXPECT_TRUE(level >= 1.0 || colour >= 1.5)
                        << "programs " << 10 * control + division + a << " and "
                        << 10 * control + division + b << ": " << level << " dB apart, colour "
                        << colour << " dB";
                    closest = std::min(closest, std::max(level, colour));
                }
            }
        }
    }
    std::printf("closest pair of programs within a stop control: %.1f dB\n", closest);
}

// The swell's shade steps: velocities 40, 48, 56, 65 on every swell program.
TEST(BankSwell, EachVelocityStepIsAudiblyLouder) {
    OfflineSynth synth(bankPath());
    ASSERT_TRUE(synth.isLoaded());
    const int steps[] = {40, 48, 56, 65};
    double smallest = 100.0;
    for (int control = 1; control <= 6; control++) {
        for (int k = 0; k < 4; k++) {
            int program = 10 * control + k;
            double previous = -200.0;
            for (int velocity : steps) {
                synth.reset();
                fluid_synth_program_change(synth.get(), 1, program);
                synth.noteOn(1, 60, velocity);
                synth.render(0.9);
                std::vector<float> mono = synth.mono();
                double level = levelDb(mono, static_cast<size_t>(0.4 * kRate), mono.size());
                if (velocity != steps[0]) {
                    EXPECT_GE(level - previous, 2.0)
                        << "program " << program << " velocity " << velocity;
                    smallest = std::min(smallest, level - previous);
                }
                previous = level;
            }
        }
    }
    std::printf("smallest swell step: %.1f dB\n", smallest);
}

} // namespace
