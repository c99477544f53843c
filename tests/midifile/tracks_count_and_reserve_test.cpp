// Counting tracks as a multi-track file would have them, reserving room in a
// track, and the millisecond division.
#include <climits>
#include <initializer_list>

#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "MidiFile.h"

namespace {} // namespace

TEST(TracksCount, SplitScoreCountsEveryTrackEvenEmptyOnes) {
    MidiFile score;
    score.addTrack(4);
    EXPECT_EQ(score.getTrackCountAsType1(), 5);
}

TEST(TracksCount, JoinedScoreCountsUpToTheHighestTrackNumber) {
    MidiFile score;
    score.addTrack(4);
    score.addEvent(2, 0, bytearray({0x90, 1, 1}));
    score.joinTracks();
    EXPECT_EQ(score.getTrackCountAsType1(), 3);

    MidiFile negative;
    negative.addTrack();
    negative.joinTracks();
    MFEvent below(0, -9, bytearray({0x90, 1, 1}));
    negative.addEvent(below);
    EXPECT_EQ(negative.getTrackCountAsType1(), 1);
}

// 1 + INT_MAX does not fit; the count stops at INT_MAX.
TEST(TracksCount, LargestTrackNumberDoesNotOverflow) {
    MidiFile score;
    score.addTrack();
    score.joinTracks();
    MFEvent huge(0, INT_MAX, bytearray({0x90, 1, 1}));
    score.addEvent(huge);
    EXPECT_EQ(score.getTrackCountAsType1(), INT_MAX);
}

TEST(TracksReserve, EventsStayAndTheTrackStillGrows) {
    MidiFile score;
    score.addEvent(0, 3, bytearray({0x90, 1, 1}));
    score.addEvent(0, 4, bytearray({0x80, 1, 1}));
    score.allocateEvents(0, 1000);
    EXPECT_EQ(score.getNumEvents(0), 2);
    EXPECT_EQ(score.getEvent(0, 1).time, 4);
    score.allocateEvents(0, 1);
    score.allocateEvents(0, -5);
    EXPECT_EQ(score.getNumEvents(0), 2);
    for (int i = 0; i < 1200; i++) {
        score.addEvent(0, i, bytearray({0x90, 2, 2}));
    }
    EXPECT_EQ(score.getNumEvents(0), 1202);
    EXPECT_EQ(score.getEvent(0, 0).time, 3);
    EXPECT_EQ(score.getEvent(0, 1201).time, 1199);
}

TEST(TracksReserveDeathTest, TrackOutsideTheTableEndsWithIndexMessage) {
    MidiFile score;
    EXPECT_EXIT(score.allocateEvents(2, 10), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 2 Maximum is 0\n");
}

TEST(TracksMillisecond, DivisionIsSmpte25FramesOf40Ticks) {
    MidiFile score;
    score.setMillisecondDelta();
    EXPECT_EQ(score.getTicksPerQuarterNote(), 59176);
}
