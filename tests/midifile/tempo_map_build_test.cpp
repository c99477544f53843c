// Building the tempo map: seconds of each event time from the tempo events,
// lazily rebuilt, with the score's time and track states given back.
#include <climits>
#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "MidiFile.h"
#include "tempo_example.h"

using tempotest::buildWorkedExample;
using tempotest::tempoPayload;

TEST(TempoMapBuild, DefaultTempoIs120) {
    MidiFile score;
    buildWorkedExample(score, false);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(0), 0.0);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(96), 0.5);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(192), 1.0);
}

TEST(TempoMapBuild, TempoTakesEffectAfterItsOwnTick) {
    MidiFile score;
    buildWorkedExample(score, true);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(96), 0.5);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(192), 1.5);
    // The same with the tempo alone at its tick: no other event there opens
    // the entry before the tempo is seen.
    MidiFile alone;
    alone.setTicksPerQuarterNote(96);
    alone.absoluteTime();
    alone.addEvent(0, 0, bytearray({0x90, 60, 64}));
    alone.addMetaEvent(0, 96, 0x51, tempoPayload(1000000));
    alone.addEvent(0, 192, bytearray({0x80, 60, 0}));
    EXPECT_DOUBLE_EQ(alone.getTimeInSeconds(96), 0.5);
    EXPECT_DOUBLE_EQ(alone.getTimeInSeconds(192), 1.5);
}

TEST(TempoMapBuild, TempoInOneTrackTimesTheOthers) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.addTrack();
    // Delta ticks: track 1 at absolute 0, 96, 192; track 0 quadruples the
    // speed at 0 and halves it again at 96.
    score.addMetaEvent(0, 0, 0x51, tempoPayload(125000));
    score.addMetaEvent(0, 96, 0x51, tempoPayload(250000));
    score.addEvent(1, 0, bytearray({0x90, 60, 64}));
    score.addEvent(1, 96, bytearray({0x80, 60, 0}));
    score.addEvent(1, 96, bytearray({0x90, 60, 64}));
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(96), 0.125);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(192), 0.375);
}

TEST(TempoMapBuild, FirstEntryIsTimedFromTickZero) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.addEvent(0, 48, bytearray({0x90, 60, 64}));
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(48), 0.25);
}

TEST(TempoMapBuild, DeltaSplitScoreComesBackDeltaSplitAndSorted) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.addTrack(2);
    score.addEvent(1, 10, bytearray({0x91, 60, 64}));
    score.addEvent(1, 0, bytearray({0x81, 61, 0}));
    score.addEvent(2, 5, bytearray({0x92, 62, 64}));
    score.buildTimeMap();
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(score.getTrackState(), 0);
    EXPECT_EQ(score.getTrackCount(), 3);
    // The note-off now comes before the note-on of its tick.
    ASSERT_EQ(score.getNumEvents(1), 2);
    EXPECT_EQ(score.getEvent(1, 0).data[0], 0x81);
    EXPECT_EQ(score.getEvent(1, 0).time, 10);
    EXPECT_EQ(score.getEvent(1, 1).data[0], 0x91);
    EXPECT_EQ(score.getEvent(1, 1).time, 0);
    EXPECT_EQ(score.getNumEvents(2), 1);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(5), 5.0 / 192.0);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(10), 10.0 / 192.0);
}

TEST(TempoMapBuild, AbsoluteJoinedScoreStaysAbsoluteJoined) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.addTrack();
    score.addEvent(1, 96, bytearray({0x90, 60, 64}));
    score.absoluteTime();
    score.joinTracks();
    score.doTimeInSecondsAnalysis();
    EXPECT_EQ(score.getTimeState(), 1);
    EXPECT_EQ(score.getTrackState(), 1);
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(96), 0.5);
}

TEST(TempoMapBuild, AddingEventsRebuildsEditingInPlaceDoesNot) {
    MidiFile score;
    buildWorkedExample(score, false);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(192), 1.0);
    score.addEvent(0, 288, bytearray({0x80, 62, 0}));
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(288), 1.5);

    // An edit through a reference is seen only after an explicit rebuild.
    score.getEvent(0, 3).time = 384;
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(288), 1.5);
    score.buildTimeMap();
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(384), 2.0);
}

TEST(TempoMapBuildDeathTest, EditedTickIsGoneAfterRebuild) {
    MidiFile score;
    buildWorkedExample(score, false);
    score.getEvent(0, 2).time = 200;
    score.doTimeInSecondsAnalysis();
    EXPECT_EXIT(score.getTimeInSeconds(192), ::testing::ExitedWithCode(1),
                "ERROR: tick value 192 was not found \n");
}

TEST(TempoMapBuild, SecondsOfAnEventAreThoseOfItsStoredTime) {
    MidiFile score;
    buildWorkedExample(score, true);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(0, 3), 1.5);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(0, 1), 0.5);
    // In delta state the stored time is a delta: event 3 holds 96.
    score.deltaTime();
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(0, 3), 0.5);
}

// Times from one end of int to the other: the tick distance does not fit in
// an int and must not overflow.
TEST(TempoMapBuild, ExtremeTicksDoNotOverflow) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.absoluteTime();
    score.addEvent(0, INT_MIN, bytearray({0x90, 60, 64}));
    score.addEvent(0, INT_MAX, bytearray({0x80, 60, 0}));
    const double perTick = 60.0 / (96 * 120.0);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(INT_MIN), INT_MIN * perTick);
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(INT_MAX) - score.getTimeInSeconds(INT_MIN),
                     4294967295.0 * perTick);
}

// With 0 ticks per quarter note every tick lasts forever: tick 0 is still at
// 0 seconds (not 0 x infinity), later ticks at infinity.
TEST(TempoMapBuild, ZeroTicksPerQuarterNote) {
    MidiFile score;
    score.setTicksPerQuarterNote(0);
    score.absoluteTime();
    score.addEvent(0, 0, bytearray({0x90, 60, 64}));
    score.addEvent(0, 96, bytearray({0x80, 60, 0}));
    EXPECT_EQ(score.getTimeInSeconds(0), 0.0);
    EXPECT_TRUE(std::isinf(score.getTimeInSeconds(96)));
    EXPECT_EQ(score.getAbsoluteTickTime(1.0), 0);
    EXPECT_EQ(score.getAbsoluteTickTime(-1.0), -1);
}
