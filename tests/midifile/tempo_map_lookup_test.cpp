// Looking up the map: seconds of a tick, and the tick at a time in seconds,
// exact or interpolated.
#include <cmath>
#include <initializer_list>
#include <limits>

#include <gtest/gtest.h>

#include "MidiFile.h"
#include "tempo_example.h"

using tempotest::buildWorkedExample;
using tempotest::tempoPayload;

TEST(TempoMapLookup, ExactAndInterpolatedTicks) {
    MidiFile score;
    buildWorkedExample(score, false);
    EXPECT_EQ(score.getAbsoluteTickTime(0.75), 144);
    EXPECT_EQ(score.getAbsoluteTickTime(1.0), 192);
    EXPECT_EQ(score.getAbsoluteTickTime(0.5), 96);
    EXPECT_EQ(score.getAbsoluteTickTime(0.0), 0);
    EXPECT_EQ(score.getAbsoluteTickTime(1.5), -1);
    EXPECT_EQ(score.getAbsoluteTickTime(-0.1), -1);
    // Upward scan (below half the length), truncated toward zero.
    EXPECT_EQ(score.getAbsoluteTickTime(0.1), 19);
}

TEST(TempoMapLookup, SecondSegmentFoundByDownwardScan) {
    MidiFile score;
    buildWorkedExample(score, true);
    EXPECT_EQ(score.getAbsoluteTickTime(1.0), 144);
    EXPECT_EQ(score.getAbsoluteTickTime(1.5), 192);
    EXPECT_EQ(score.getAbsoluteTickTime(0.25), 48);
}

TEST(TempoMapLookup, LastSecondsOnlyThroughTheExactSearch) {
    MidiFile score;
    buildWorkedExample(score, false);
    EXPECT_EQ(score.linearTickInterpolationAtSecond(1.0), -1);
    EXPECT_EQ(score.getAbsoluteTickTime(1.0), 192);
    EXPECT_EQ(score.linearTickInterpolationAtSecond(0.5), 96);
    EXPECT_EQ(score.linearTickInterpolationAtSecond(0.0), 0);
    EXPECT_EQ(score.linearTickInterpolationAtSecond(0.75), 144);
}

TEST(TempoMapLookup, BeforeTheFirstEventIsOutside) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.absoluteTime();
    score.addEvent(0, 96, bytearray({0x90, 60, 64}));
    score.addEvent(0, 192, bytearray({0x80, 60, 0}));
    score.addEvent(0, 960, bytearray({0x80, 60, 0}));
    EXPECT_EQ(score.getAbsoluteTickTime(0.1), -1);
    EXPECT_EQ(score.getAbsoluteTickTime(0.75), 144);
}

TEST(TempoMapLookup, QueriesLeaveTheStatesAsTheyWere) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.addTrack(2);
    score.addEvent(1, 0, bytearray({0x90, 60, 64}));
    score.addEvent(2, 96, bytearray({0x80, 60, 0}));
    EXPECT_EQ(score.getAbsoluteTickTime(0.25), 48);
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(score.getTrackState(), 0);
    EXPECT_EQ(score.getTrackCount(), 3);
}

// No lookup may turn NaN or an infinity into an int.
TEST(TempoMapLookup, NonFiniteSecondsAreOutside) {
    MidiFile score;
    buildWorkedExample(score, false);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(score.getAbsoluteTickTime(std::nan("")), -1);
    EXPECT_EQ(score.linearTickInterpolationAtSecond(std::nan("")), -1);
    EXPECT_EQ(score.getAbsoluteTickTime(inf), -1);
    EXPECT_EQ(score.getAbsoluteTickTime(-inf), -1);
}

// A tempo of 0 gives two entries at one second; the zero-length segment is
// answered with its first tick instead of dividing by zero.
TEST(TempoMapLookup, ZeroTempoSegmentGivesItsFirstTick) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.absoluteTime();
    score.addEvent(0, 0, bytearray({0x90, 60, 64}));
    score.addEvent(0, 96, bytearray({0x90, 61, 64}));
    score.addMetaEvent(0, 96, 0x51, tempoPayload(0));
    score.addEvent(0, 192, bytearray({0x90, 62, 64}));
    score.addMetaEvent(0, 192, 0x51, tempoPayload(500000));
    score.addEvent(0, 288, bytearray({0x90, 63, 64}));
    score.addEvent(0, 384, bytearray({0x90, 64, 64}));
    // Map: (0, 0), (96, 0.5), (192, 0.5), (288, 1.0), (384, 1.5).
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(192), 0.5);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(384), 1.5);
    EXPECT_EQ(score.linearTickInterpolationAtSecond(0.5), 96);
    const int either = score.getAbsoluteTickTime(0.5);
    EXPECT_TRUE(either == 96 || either == 192) << either;
    EXPECT_EQ(score.getAbsoluteTickTime(0.75), 240);
}

TEST(TempoMapLookup, SearchComparisons) {
    _TickTime a;
    _TickTime b;
    a.tick = 5;
    b.tick = 9;
    EXPECT_EQ(MidiFile::ticksearch(&a, &b), -1);
    EXPECT_EQ(MidiFile::ticksearch(&b, &a), 1);
    EXPECT_EQ(MidiFile::ticksearch(&a, &a), 0);
    a.seconds = 0.5;
    b.seconds = 0.25;
    EXPECT_EQ(MidiFile::secondsearch(&a, &b), 1);
    EXPECT_EQ(MidiFile::secondsearch(&b, &a), -1);
    EXPECT_EQ(MidiFile::secondsearch(&a, &a), 0);
    b.seconds = std::nan("");
    EXPECT_EQ(MidiFile::secondsearch(&a, &b), 0);
    EXPECT_EQ(MidiFile::secondsearch(&b, &a), 0);
}

TEST(TempoMapLookupDeathTest, MissingTickEndsTheProgram) {
    MidiFile score;
    buildWorkedExample(score, true);
    EXPECT_EXIT(score.getTimeInSeconds(50), ::testing::ExitedWithCode(1),
                "^ERROR: tick value 50 was not found \n$");
}

TEST(TempoMapLookupDeathTest, EmptyScore) {
    MidiFile score;
    EXPECT_EXIT(score.getTimeInSeconds(0), ::testing::ExitedWithCode(1),
                "^ERROR: tick value 0 was not found \n$");
    EXPECT_EXIT(score.getAbsoluteTickTime(0.5), ::testing::ExitedWithCode(1),
                "^Error: accessing invalid array location -1 Maximum is -1\n$");
}

TEST(TempoMapLookupDeathTest, BadEventEndsWithIndexMessage) {
    MidiFile score;
    buildWorkedExample(score, false);
    EXPECT_EXIT(score.getTimeInSeconds(0, 4), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 4 Maximum is 2\n");
}
