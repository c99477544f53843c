// Converting tracks between delta and absolute ticks: per track, idempotent,
// exact in both directions, and wrapping at 32 bits instead of overflowing.
#include <climits>
#include <vector>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

std::vector<int> timesOf(MidiFile& score, int track) {
    std::vector<int> out;
    for (int i = 0; i < score.getNumEvents(track); i++) {
        out.push_back(score.getEvent(track, i).time);
    }
    return out;
}

void fill(MidiFile& score, int track, const std::vector<int>& times) {
    for (int t : times) {
        score.addEvent(track, t, bytearray({0x90, 60, 64}));
    }
}

TEST(TrackTimeState, DeltasBecomeTimesAndBack) {
    MidiFile score;
    fill(score, 0, {0, 10, 0, 5});
    score.absoluteTime();
    EXPECT_EQ(score.getTimeState(), 1);
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{0, 10, 10, 15}));
    score.absoluteTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{0, 10, 10, 15}));
    score.deltaTime();
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{0, 10, 0, 5}));
    score.deltaTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{0, 10, 0, 5}));
}

TEST(TrackTimeState, FirstEventKeepsItsTime) {
    MidiFile score;
    fill(score, 0, {7, 3});
    score.absoluteTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{7, 10}));
    score.deltaTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{7, 3}));
}

TEST(TrackTimeState, EveryTrackSeparatelyEmptyOnesIncluded) {
    MidiFile score;
    score.addTrack(3);
    fill(score, 1, {5, 5, 5});
    fill(score, 3, {100, 1});
    score.absoluteTime();
    EXPECT_EQ(timesOf(score, 0), std::vector<int>{});
    EXPECT_EQ(timesOf(score, 1), (std::vector<int>{5, 10, 15}));
    EXPECT_EQ(timesOf(score, 3), (std::vector<int>{100, 101}));
}

TEST(TrackTimeState, UnsortedTrackGivesNegativeDeltas) {
    MidiFile score;
    score.absoluteTime();
    fill(score, 0, {50, 20, 30});
    score.deltaTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{50, -30, 10}));
    score.absoluteTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{50, 20, 30}));
}

// Sums and differences past the 32-bit range wrap (they must not overflow a
// signed int), and the round trip is still exact.
TEST(TrackTimeState, ExtremeTimesWrapAndRoundTrip) {
    MidiFile score;
    fill(score, 0, {INT_MAX, 1, INT_MAX, INT_MIN, -1});
    score.absoluteTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{INT_MAX, INT_MIN, -1, INT_MAX, INT_MAX - 1}));
    score.deltaTime();
    EXPECT_EQ(timesOf(score, 0), (std::vector<int>{INT_MAX, 1, INT_MAX, INT_MIN, -1}));
}

TEST(TrackTimeState, ConversionKeepsEventOrder) {
    MidiFile score;
    score.addEvent(0, 0, bytearray({0x90, 1, 1}));
    score.addEvent(0, 0, bytearray({0x90, 2, 1}));
    score.absoluteTime();
    EXPECT_EQ(score.getEvent(0, 0).data[1], 1);
    EXPECT_EQ(score.getEvent(0, 1).data[1], 2);
}

} // namespace
