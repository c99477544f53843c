// Stops that sound a rank at another pitch, rendered through FluidSynth from the built bank,
// stand within 2 cents of equal temperament at A4 = 440 Hz (every key of every rank at its
// own pitch is held to it in bank_sustain_test).
#include "offline_synth.h"
#include "signal_measure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr double kToleranceCents = 2.0;

double equalTemperedHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

class BankTuning : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { synth = new OfflineSynth(bankPath()); }
    static void TearDownTestSuite() {
        delete synth;
        synth = nullptr;
    }

    // Holds the key long enough for the loop to run, then measures the left channel's
    // fundamental in the looping sustain; returns the error in cents against `soundingMidi`.
    static double centsOff(int bank, int program, int key, double soundingMidi) {
        synth->reset();
        synth->select(0, bank, program);
        synth->noteOn(0, key, 100);
        synth->render(2.2);
        synth->noteOff(0, key);
        double expected = equalTemperedHz(soundingMidi);
        double hz =
            measureFundamentalHz(synth->left, static_cast<size_t>(1.4 * kRate), kRate, expected);
        return centsBetween(hz, expected);
    }

    static OfflineSynth* synth;
};

OfflineSynth* BankTuning::synth = nullptr;

TEST_F(BankTuning, SixteenFootStopsSoundAnOctaveDownInTune) {
    ASSERT_TRUE(synth->isLoaded());
    // Pedal (Bourdon 16', Montre 8', Bourdon 8') and great "Fonds 16 8".
    for (int key : {36, 40, 43, 47}) {
        EXPECT_LE(std::fabs(centsOff(0, 0, key, key - 12)), kToleranceCents) << "pedal key " << key;
    }
    for (int key : {36, 53, 67, 84, 96}) {
        EXPECT_LE(std::fabs(centsOff(0, 83, key, key - 12)), kToleranceCents) << "key " << key;
    }
}

TEST_F(BankTuning, OctaveChorusesLayerInTune) {
    ASSERT_TRUE(synth->isLoaded());
    // Ranks at 16', 8', 4' and 2' from different recordings agree on one pitch. (Tempered
    // fifths and thirds of mutations are not partials of the key, so they stay out.)
    const struct {
        int program;
        int lowestFoot; // semitones from the key to the lowest stop
    } choruses[] = {{90, 0}, {100, -12}, {62, -12}, {120, -12}};
    for (const auto& c : choruses) {
        for (int key : {36, 55, 72, 93}) {
            EXPECT_LE(std::fabs(centsOff(0, c.program, key, key + c.lowestFoot)), kToleranceCents)
                << "program " << c.program << " key " << key;
        }
    }
}

} // namespace
