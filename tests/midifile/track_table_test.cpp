// The score's track table: a fresh score, adding tracks and events, indexing
// events (one past the end appends), erase, and the index misuses that end
// the program.
#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

using ::testing::ExitedWithCode;

TEST(TrackTable, NewScoreHasOneEmptyTrackInDeltaState) {
    MidiFile score;
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getNumTracks(), 1);
    EXPECT_EQ(score.getNumEvents(0), 0);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 48);
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(score.getTrackState(), 0);
    EXPECT_STREQ(score.getFilename(), "");
}

TEST(TrackTable, AddTrackReturnsTheNewIndex) {
    MidiFile one;
    EXPECT_EQ(one.addTrack(), 1);
    EXPECT_EQ(one.getTrackCount(), 2);
    MidiFile many;
    EXPECT_EQ(many.addTrack(3), 3);
    EXPECT_EQ(many.getTrackCount(), 4);
    EXPECT_EQ(many.addTrack(0), 3);
    EXPECT_EQ(many.getTrackCount(), 4);
    EXPECT_EQ(many.getNumEvents(3), 0);
}

// A negative count would leave lists behind; it adds nothing.
TEST(TrackTable, NegativeTrackCountIsRefused) {
    MidiFile score;
    score.addTrack(2);
    EXPECT_EQ(score.addTrack(-2), 2);
    EXPECT_EQ(score.getTrackCount(), 3);
}

// Added tracks reserve 10,000 events: events do not move while a track fills
// up to that many.
TEST(TrackTable, AddedTrackReservesTenThousandEvents) {
    MidiFile score;
    const int track = score.addTrack();
    const Array<unsigned char> note = bytearray({0x90, 60, 64});
    score.addEvent(track, 0, note);
    const MFEvent* first = &score.getEvent(track, 0);
    for (int i = 1; i < 10000; i++) {
        score.addEvent(track, i, note);
    }
    EXPECT_EQ(&score.getEvent(track, 0), first);
    EXPECT_EQ(score.getNumEvents(track), 10000);
    EXPECT_EQ(score.getEvent(track, 9999).time, 9999);
}

TEST(TrackTable, AddEventStoresTimeTrackAndBytes) {
    MidiFile score;
    score.addTrack(2);
    EXPECT_EQ(score.addEvent(2, 100, bytearray({0x91, 62, 70})), 0);
    EXPECT_EQ(score.addEvent(2, 50, bytearray({0x81, 62, 0})), 1);
    EXPECT_EQ(eventsof(score, 2),
              (std::vector<Ev>{{100, bytes({0x91, 62, 70})}, {50, bytes({0x81, 62, 0})}}));
    EXPECT_EQ(score.getTrack(2, 1), 2);
    EXPECT_EQ(score.getNumEvents(0), 0);
}

TEST(TrackTable, TrackZeroGrowsByEight) {
    MidiFile score;
    const Array<unsigned char> note = bytearray({0x90, 60, 64});
    for (int i = 0; i < 20; i++) {
        EXPECT_EQ(score.addEvent(0, i, note), i);
    }
    EXPECT_EQ(score.getNumEvents(0), 20);
    EXPECT_EQ(score.getEvent(0, 19).time, 19);
}

TEST(TrackTable, AddEventObjectGoesToItsTrackAndKeepsFields) {
    MidiFile score;
    score.addTrack(2);
    MFEvent e(30, 2, 0xc1, 19, 0);
    e.data.setSize(2);
    EXPECT_EQ(score.addEvent(e), 0);
    EXPECT_EQ(eventsof(score, 2), (std::vector<Ev>{{30, bytes({0xc1, 19})}}));
    EXPECT_EQ(score.getTrack(2, 0), 2);
}

TEST(TrackTable, GetEventOnePastTheEndAppendsADefaultEvent) {
    MidiFile score;
    score.addEvent(0, 5, bytearray({0x90, 1, 2}));
    MFEvent& appended = score.getEvent(0, score.getNumEvents(0));
    EXPECT_EQ(score.getNumEvents(0), 2);
    EXPECT_EQ(appended.time, 0);
    EXPECT_EQ(appended.track, 0);
    EXPECT_EQ(appended.data.getSize(), 0);
}

TEST(TrackTableDeath, GetEventTwoPastTheEnd) {
    MidiFile score;
    score.addEvent(0, 5, bytearray({0x90, 1, 2}));
    EXPECT_EXIT(score.getEvent(0, 2), ExitedWithCode(1),
                "^Error: accessing invalid array location 2 Maximum is 0\n$");
}

TEST(TrackTableDeath, AddEventOnTrackEqualToCount) {
    MidiFile score;
    score.addTrack(3);
    const Array<unsigned char> note = bytearray({0x90, 60, 64});
    EXPECT_EXIT(score.addEvent(4, 0, note), ExitedWithCode(1),
                "^Error: accessing invalid array location 4 Maximum is 3\n$");
}

TEST(TrackTableDeath, NegativeTrackNumber) {
    MidiFile score;
    EXPECT_EXIT(score.getNumEvents(-1), ExitedWithCode(1),
                "invalid array location -1 Maximum is 0");
}

TEST(TrackTableDeath, EventObjectWithTrackOutsideTheTable) {
    MidiFile score;
    MFEvent e(0, 7, 0x90, 60, 64);
    EXPECT_EXIT(score.addEvent(e), ExitedWithCode(1), "invalid array location 7 Maximum is 0");
}

TEST(TrackTable, EraseLeavesOneEmptyTrackAndKeepsSettings) {
    MidiFile score;
    score.addTrack(5);
    score.setTicksPerQuarterNote(192);
    score.absoluteTime();
    score.addEvent(3, 10, bytearray({0x90, 60, 64}));
    score.erase();
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getNumEvents(0), 0);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 192);
    EXPECT_EQ(score.getTimeState(), 1);
    // The new track 0 appends by indexing one past the end.
    score.getEvent(0, 0);
    EXPECT_EQ(score.getNumEvents(0), 1);
}

TEST(TrackTable, ClearIsErase) {
    MidiFile score;
    score.addTrack(2);
    score.addEvent(1, 0, bytearray({0xc0, 1}));
    score.clear();
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getNumEvents(0), 0);
}

TEST(TrackTable, TicksPerQuarterNoteTakesAnyValue) {
    MidiFile score;
    score.setTicksPerQuarterNote(-5);
    EXPECT_EQ(score.getTicksPerQuarterNote(), -5);
}

} // namespace
