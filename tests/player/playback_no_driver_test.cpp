// Without an audio driver the FluidSynth player never advances, so waiting
// for it would never end: the run stops with a line and status 1 instead.
#include <unistd.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "playback.h"

namespace {

TEST(PlaybackNoDriverDeathTest, EndsInsteadOfWaiting) {
    fluidhandles fluid;
    fluid.settings = new_fluid_settings();
    fluid.synth = new_fluid_synth(fluid.settings);
    fluid.player = new_fluid_player(fluid.synth);
    ASSERT_NE(fluid.player, nullptr);
    EXPECT_EXIT(
        {
            std::fflush(stdout);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            playscore(fluid, 0);
        },
        ::testing::ExitedWithCode(1), "^Audio output could not be opened\n$");
    teardownsynth(fluid);
    EXPECT_EQ(fluid.settings, nullptr);
}

} // namespace
