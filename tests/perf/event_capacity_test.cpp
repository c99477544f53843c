// Capacities, growth steps and reservations of event lists, which the
// player's geometric growth and the model's lazily built slots must keep.
#include <gtest/gtest.h>

#include <string>

#include "../support/bytes.h"
#include "MidiFile.h"
#include "rollgen.h"

namespace {

void expectdefaultbytes(const MFEvent& event, int64_t size) {
    EXPECT_EQ(event.data.getSize(), size);
    EXPECT_EQ(event.data.getAllocSize(), size > 4 ? size : 4);
    EXPECT_TRUE(event.data.getAutoGrow());
    EXPECT_EQ(event.data.getGrowth(), 4);
    EXPECT_EQ(event.data.getMaxSize(), 0);
}

TEST(EventCapacity, AddedTrackReservesTenThousandThenGrowsByEight) {
    MidiFile score;
    const int track = score.addTrack();
    EXPECT_EQ(score.getEventCapacity(track), 10000);
    EXPECT_EQ(score.getNumEvents(track), 0);
    Array<unsigned char> note = bytearray({0x90, 60, 64});
    for (int i = 0; i < 10000; i++) {
        score.addEvent(track, i, note);
    }
    EXPECT_EQ(score.getEventCapacity(track), 10000);
    EXPECT_EQ(score.addEvent(track, 10000, note), 10000);
    EXPECT_EQ(score.getEventCapacity(track), 10008);
    for (int i = 0; i < 8; i++) {
        score.addEvent(track, 10001 + i, note);
    }
    EXPECT_EQ(score.getEventCapacity(track), 10016);
    EXPECT_EQ(score.getEvent(track, 10008).time, 10008);
}

TEST(EventCapacity, FirstTrackStartsEmptyAndGrowsByEight) {
    MidiFile score;
    EXPECT_EQ(score.getEventCapacity(0), 0);
    Array<unsigned char> note = bytearray({0x90, 60, 64});
    score.addEvent(0, 0, note);
    EXPECT_EQ(score.getEventCapacity(0), 8);
    for (int i = 1; i <= 8; i++) {
        score.addEvent(0, i, note);
    }
    EXPECT_EQ(score.getEventCapacity(0), 16);
    score.erase();
    EXPECT_EQ(score.getEventCapacity(0), 0);
}

TEST(EventCapacity, AllocateEventsSetsExactRoomAndKeepsEvents) {
    MidiFile score;
    const int track = score.addTrack();
    Array<unsigned char> text = bytearray({0xFF, 0x01, 0x05, 'o', 'r', 'g', 'a', 'n'});
    score.addEvent(track, 3, text);
    score.allocateEvents(track, 25000);
    EXPECT_EQ(score.getEventCapacity(track), 25000);
    EXPECT_EQ(score.getNumEvents(track), 1);
    // Fewer than it holds, or no more room than it has: nothing changes.
    score.allocateEvents(track, 1);
    score.allocateEvents(track, 20000);
    EXPECT_EQ(score.getEventCapacity(track), 25000);
    const MFEvent& kept = score.getEvent(track, 0);
    EXPECT_EQ(kept.time, 3);
    EXPECT_EQ(kept.track, track);
    ASSERT_EQ(kept.data.getSize(), 8);
    EXPECT_EQ(kept.data[7], 'n');
    // Moved into a new block, the event has the byte settings of a default one.
    expectdefaultbytes(kept, 8);
}

TEST(EventCapacity, RegrowGivesEveryEventDefaultByteSettings) {
    MidiFile score;
    Array<unsigned char> note = bytearray({0x80, 40, 0});
    Array<unsigned char> meta = bytearray({0xFF, 0x03, 0x04, 'P', 'i', 'p', 'e'});
    for (int i = 0; i < 8; i++) {
        score.addEvent(0, i, i % 2 == 0 ? note : meta);
    }
    // A byte array whose room exceeds its bytes: a copy would not keep that room.
    MFEvent& shrunk = score.getEvent(0, 1);
    shrunk.data.setSize(2);
    EXPECT_EQ(shrunk.data.getAllocSize(), 7);
    // Its own settings, which a regrow does not carry over.
    score.getEvent(0, 2).data.setGrowth(32);
    score.getEvent(0, 2).data.setAutoGrow(false);

    score.addEvent(0, 8, note); // the ninth event regrows the list
    ASSERT_EQ(score.getEventCapacity(0), 16);
    for (int i = 0; i < 8; i++) {
        const MFEvent& e = score.getEvent(0, i);
        EXPECT_EQ(e.time, i);
        const int64_t size = i == 1 ? 2 : i % 2 == 0 ? 3 : 7;
        expectdefaultbytes(e, size);
        EXPECT_EQ(e.data[0], i % 2 == 0 ? 0x80 : 0xFF);
    }
    EXPECT_EQ(score.getEvent(0, 6).data[1], 40);
    EXPECT_EQ(score.getEvent(0, 7).data[6], 'e');
}

TEST(EventCapacity, SlotsOnePastTheEndAreDefaultEvents) {
    MidiFile score;
    const int track = score.addTrack();
    score.addEvent(track, 5, bytearray({0x90, 60, 64}));
    MFEvent& appended = score.getEvent(track, 1);
    EXPECT_EQ(score.getNumEvents(track), 2);
    EXPECT_EQ(appended.time, 0);
    EXPECT_EQ(appended.track, 0);
    expectdefaultbytes(appended, 0);
    // Reserved slots far from the end are not reachable.
    EXPECT_EXIT(score.getEvent(track, 500), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 500 Maximum is 1");
}

TEST(EventCapacity, ReaderReservesHalfTheChunkLengthForLongTracks) {
    const std::string path = ::testing::TempDir() + "event_capacity_roll.mid";
    ASSERT_TRUE(writeroll(path, 100000));
    MidiFile roll(path.c_str());
    ASSERT_EQ(roll.getTrackCount(), 1);
    // 100,000 hole events of 4 bytes, a title of 18, a tempo of 7 and the
    // end of track.
    const int chunklength = 100000 * 4 + 18 + 7 + 4;
    EXPECT_EQ(roll.getNumEvents(0), 100003);
    EXPECT_EQ(roll.getEventCapacity(0), chunklength / 2);

    const std::string shortpath = ::testing::TempDir() + "event_capacity_short.mid";
    ASSERT_TRUE(writeroll(shortpath, 40));
    MidiFile shortroll(shortpath.c_str());
    EXPECT_EQ(shortroll.getEventCapacity(0), 10000);
}

TEST(EventCapacity, SortExchangesWholeEvents) {
    MidiFile score;
    const int track = score.addTrack();
    score.absoluteTime();
    score.addMetaEvent(track, 10, 3, "a long name");
    score.addEvent(track, 10, bytearray({0x90, 60, 64}));
    score.addEvent(track, 0, bytearray({0xC1, 10}));
    score.addEvent(track, 10, bytearray({0x80, 60, 64}));
    score.getEvent(track, 2).data.setGrowth(16);
    score.sortTracks();
    ASSERT_EQ(score.getNumEvents(track), 4);
    EXPECT_EQ(score.getEvent(track, 0).data[0], 0xC1);
    EXPECT_EQ(score.getEvent(track, 0).data.getGrowth(), 16);
    EXPECT_EQ(score.getEvent(track, 1).data[0], 0x80);
    EXPECT_EQ(score.getEvent(track, 2).data[0], 0x90);
    const MFEvent& meta = score.getEvent(track, 3);
    EXPECT_EQ(meta.time, 10);
    ASSERT_EQ(meta.data.getSize(), 14);
    EXPECT_EQ(meta.data[13], 'e');
    EXPECT_EQ(meta.data.getAllocSize(), 14);
}

} // namespace
