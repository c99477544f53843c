// The player's FluidSynth has 256 voices. A loud passage, four-note chords on both manuals
// every half second under the swell's and the great's biggest registrations over a held
// pedal note, must stay below that, or FluidSynth steals voices: release tails cut off at
// best, held notes at worst.
#include "offline_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

TEST(BankPolyphony, LoudChordsOnBothManualsStayWithinTheVoices) {
    OfflineSynth synth(bankPath());
    ASSERT_TRUE(synth.isLoaded());
    const int polyphony = fluid_synth_get_polyphony(synth.get());
    // Swell program 53 (five ranks) on channel 1, great 113 (four) on 2, pedal 0 on 0.
    fluid_synth_program_change(synth.get(), 0, 0);
    fluid_synth_program_change(synth.get(), 1, 53);
    fluid_synth_program_change(synth.get(), 2, 113);
    const int chords[][4] = {{60, 64, 67, 72}, {62, 65, 69, 74}, {64, 67, 71, 76},
                             {65, 69, 72, 77}, {67, 71, 74, 79}, {57, 60, 64, 69}};
    synth.noteOn(0, 36, 65);
    int peak = 0, atLimit = 0, blocks = 0;
    const int* previous = nullptr;
    for (int step = 0; step < 16; step++) {
        const int* chord = chords[step % 6];
        for (int channel : {1, 2}) {
            for (int i = 0; previous != nullptr && i < 4; i++) {
                synth.noteOff(channel, previous[i] - 12 * (channel - 1));
            }
            for (int i = 0; i < 4; i++) {
                synth.noteOn(channel, chord[i] - 12 * (channel - 1), 65);
            }
        }
        previous = chord;
        // Counted every 10 ms; the rendered audio is not needed.
        for (int block = 0; block < 50; block++) {
            synth.render(0.01);
            int voices = synth.activeVoices();
            peak = std::max(peak, voices);
            atLimit += voices >= polyphony;
            blocks++;
        }
        synth.left.clear();
        synth.right.clear();
    }
    std::printf("loud passage: at most %d voices of %d, at the limit %.0f %% of the time\n", peak,
                polyphony, 100.0 * atLimit / blocks);
    EXPECT_LT(peak, polyphony);
}

} // namespace
