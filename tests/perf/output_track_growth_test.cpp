// The player's output tracks double their room once the 10,000 events that
// addTrack reserves are used, instead of regrowing 8 events at a time.
#include <gtest/gtest.h>

#include "rollcore.h"

namespace {

class OutputTrackGrowth : public ::testing::Test {
  protected:
    void SetUp() override {
        resetplayerstate();
        outputfile.absoluteTime();
        outputfile.addTrack(outputtrackcount - 1);
    }
    void TearDown() override { resetplayerstate(); }
};

TEST_F(OutputTrackGrowth, NotesDoubleTheRoomOfTheirTrack) {
    // 5,000 notes fill the 10,000 reserved events exactly.
    for (int i = 0; i < 5000; i++) {
        playnote(i * 0.1, 0.05, 40, 65, greattrack, 3);
    }
    EXPECT_EQ(outputfile.getNumEvents(greattrack), 10000);
    EXPECT_EQ(outputfile.getEventCapacity(greattrack), 10000);
    playnote(500.0, 0.05, 41, 65, greattrack, 3);
    EXPECT_EQ(outputfile.getNumEvents(greattrack), 10002);
    EXPECT_EQ(outputfile.getEventCapacity(greattrack), 20000);
    for (int i = 0; i < 5000; i++) {
        playnote(600.0 + i * 0.1, 0.05, 42, 65, greattrack, 3);
    }
    EXPECT_EQ(outputfile.getNumEvents(greattrack), 20002);
    EXPECT_EQ(outputfile.getEventCapacity(greattrack), 40000);
    // Other tracks keep their reservation.
    EXPECT_EQ(outputfile.getEventCapacity(swelltrack), 10000);
    EXPECT_EQ(outputfile.getEventCapacity(pedaltrack), 10000);

    // Every event survived the moves, in the order it was added.
    const MFEvent& first = outputfile.getEvent(greattrack, 0);
    EXPECT_EQ(first.data[0], 0x92);
    EXPECT_EQ(first.data[1], 40);
    EXPECT_EQ(first.data[2], 65);
    const MFEvent& middle = outputfile.getEvent(greattrack, 10001);
    EXPECT_EQ(middle.data[0], 0x82);
    EXPECT_EQ(middle.data[1], 41);
    const MFEvent& last = outputfile.getEvent(greattrack, 20001);
    EXPECT_EQ(last.data[0], 0x82);
    EXPECT_EQ(last.data[1], 42);
    EXPECT_EQ(last.track, greattrack);
}

TEST_F(OutputTrackGrowth, ProgramChangesDoubleBothManualTracks) {
    for (int i = 0; i < 10000; i++) {
        patchchange(i * 0.1, 10, 70);
    }
    EXPECT_EQ(outputfile.getEventCapacity(swelltrack), 10000);
    EXPECT_EQ(outputfile.getEventCapacity(greattrack), 10000);
    patchchange(2000.0, 11, 71);
    EXPECT_EQ(outputfile.getNumEvents(swelltrack), 10001);
    EXPECT_EQ(outputfile.getEventCapacity(swelltrack), 20000);
    EXPECT_EQ(outputfile.getEventCapacity(greattrack), 20000);
    const MFEvent& swell = outputfile.getEvent(swelltrack, 10000);
    ASSERT_EQ(swell.data.getSize(), 2);
    EXPECT_EQ(swell.data[0], 0xC1);
    EXPECT_EQ(swell.data[1], 11);
}

TEST_F(OutputTrackGrowth, DroppedNotesTakeNoRoom) {
    for (int i = 0; i < 5000; i++) {
        playnote(i * 0.1, 0.05, 40, 65, pedaltrack, 1);
    }
    // Too short, silent, or at no valid tick: nothing is added, nothing grows.
    playnote(1000.0, 0.005, 40, 65, pedaltrack, 1);
    playnote(1000.0, 0.5, 40, 0, pedaltrack, 1);
    playnote(-5.0, 0.5, 40, 65, pedaltrack, 1);
    EXPECT_EQ(outputfile.getNumEvents(pedaltrack), 10000);
    EXPECT_EQ(outputfile.getEventCapacity(pedaltrack), 10000);
}

} // namespace
