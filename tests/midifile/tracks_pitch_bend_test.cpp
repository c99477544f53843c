// Pitch-bend events: the amount -1..+1 becomes a 14-bit value, clamped, and
// the channel is limited to 0..15.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "MidiFile.h"

namespace {

std::vector<int> bendBytes(double amount, int channel) {
    MidiFile score;
    const int index = score.addPitchBend(0, 0, channel, amount);
    MFEvent& e = score.getEvent(0, index);
    std::vector<int> out;
    for (int64_t i = 0; i < e.data.getSize(); i++) {
        out.push_back(e.data[static_cast<int>(i)]);
    }
    return out;
}

} // namespace

TEST(TracksPitchBend, AmountAndChannelBecomeBytes) {
    EXPECT_EQ(bendBytes(0.0, 3), (std::vector<int>{0xE3, 0x00, 0x40}));
    EXPECT_EQ(bendBytes(2.0, 20), (std::vector<int>{0xEF, 0x7F, 0x7F}));
    EXPECT_EQ(bendBytes(-1.0, -4), (std::vector<int>{0xE0, 0x00, 0x00}));
    EXPECT_EQ(bendBytes(1.0, 15), (std::vector<int>{0xEF, 0x7F, 0x7F}));
    // 1.5 x 8192 + 0.5 = 12288.5, truncated to 0x3000.
    EXPECT_EQ(bendBytes(0.5, 0), (std::vector<int>{0xE0, 0x00, 0x60}));
    EXPECT_EQ(bendBytes(-3.0, 1), (std::vector<int>{0xE1, 0x00, 0x00}));
}

// No amount may reach an undefined double-to-int conversion: infinities and
// huge values clamp, NaN gives the centre.
TEST(TracksPitchBend, NonFiniteAndHugeAmountsClamp) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(bendBytes(inf, 0), (std::vector<int>{0xE0, 0x7F, 0x7F}));
    EXPECT_EQ(bendBytes(-inf, 0), (std::vector<int>{0xE0, 0x00, 0x00}));
    EXPECT_EQ(bendBytes(1e300, 0), (std::vector<int>{0xE0, 0x7F, 0x7F}));
    EXPECT_EQ(bendBytes(-1e300, 0), (std::vector<int>{0xE0, 0x00, 0x00}));
    EXPECT_EQ(bendBytes(std::nan(""), 0), (std::vector<int>{0xE0, 0x00, 0x40}));
}

TEST(TracksPitchBend, AddsToTheTrackAtTheTimeAndReturnsTheIndex) {
    MidiFile score;
    score.addTrack();
    score.addEvent(1, 0, Array<unsigned char>(3));
    EXPECT_EQ(score.addPitchBend(1, 77, 2, 0.0), 1);
    EXPECT_EQ(score.getEvent(1, 1).time, 77);
    EXPECT_EQ(score.getEvent(1, 1).track, 1);
    EXPECT_EQ(score.getNumEvents(0), 0);
}

TEST(TracksPitchBend, InvalidatesTheTempoMap) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.absoluteTime();
    score.addEvent(0, 96, Array<unsigned char>(3));
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(96), 0.5);
    score.addPitchBend(0, 192, 0, 0.0);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(192), 1.0);
}

TEST(TracksPitchBendDeathTest, TrackOutsideTheTableEndsWithIndexMessage) {
    MidiFile score;
    EXPECT_EXIT(score.addPitchBend(1, 0, 0, 0.0), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 1 Maximum is 0\n");
}
