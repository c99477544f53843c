// One timed message: what each constructor stores, the byte array's room and
// growth, and how copying treats the copy's own settings.
#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MFEvent.h"

namespace {

void expectFreshBytes(const MFEvent& e, bool autoGrow) {
    EXPECT_EQ(e.data.getAllocSize(), 4);
    EXPECT_EQ(e.data.getGrowth(), 4);
    EXPECT_EQ(e.data.getAutoGrow(), autoGrow);
}

TEST(EventConstruct, DefaultHasNoBytes) {
    MFEvent e;
    EXPECT_EQ(e.time, 0);
    EXPECT_EQ(e.track, 0);
    EXPECT_EQ(e.data.getSize(), 0);
    expectFreshBytes(e, true);
}

TEST(EventConstruct, CommandAndParameters) {
    MFEvent one(0xc3);
    MFEvent two(0xc3, 19);
    MFEvent three(0x92, 60, 100);
    EXPECT_EQ(of(one.data), bytes({0xc3}));
    EXPECT_EQ(of(two.data), bytes({0xc3, 19}));
    EXPECT_EQ(of(three.data), bytes({0x92, 60, 100}));
    expectFreshBytes(one, true);
    expectFreshBytes(three, true);
    EXPECT_EQ(three.time, 0);
    EXPECT_EQ(three.track, 0);
}

TEST(EventConstruct, FourIntegersStartWithTrackFiveWithTime) {
    MFEvent four(3, 0x90, 60, 64);
    EXPECT_EQ(four.track, 3);
    EXPECT_EQ(four.time, 0);
    EXPECT_EQ(of(four.data), bytes({0x90, 60, 64}));
    MFEvent five(480, 2, 0x80, 60, 0);
    EXPECT_EQ(five.time, 480);
    EXPECT_EQ(five.track, 2);
    EXPECT_EQ(of(five.data), bytes({0x80, 60, 0}));
    expectFreshBytes(five, true);
}

TEST(EventConstruct, IntegersKeepTheirLowEightBits) {
    MFEvent e(0x190, -1, 0x1234);
    EXPECT_EQ(of(e.data), bytes({0x90, 0xff, 0x34}));
}

TEST(EventConstruct, FromBytesCopiesWithoutAutoGrow) {
    Array<unsigned char> source = bytearray({0xff, 0x03, 0x02, 'h', 'i'});
    MFEvent e(96, 1, source);
    EXPECT_EQ(e.time, 96);
    EXPECT_EQ(e.track, 1);
    EXPECT_EQ(of(e.data), bytes({0xff, 0x03, 0x02, 'h', 'i'}));
    EXPECT_FALSE(e.data.getAutoGrow());
    EXPECT_EQ(e.data.getGrowth(), 4);
    // A separate copy.
    source[3] = 'X';
    EXPECT_EQ(e.data[3], 'h');
}

TEST(EventConstruct, ShortBytesFitTheInitialRoom) {
    MFEvent e(0, 0, bytearray({0x90, 1, 2}));
    expectFreshBytes(e, false);
}

TEST(EventCopy, CopyConstructorCopiesEverything) {
    MFEvent original(10, 4, 0xb0, 7, 127);
    MFEvent copy(original);
    EXPECT_EQ(copy.time, 10);
    EXPECT_EQ(copy.track, 4);
    EXPECT_EQ(of(copy.data), bytes({0xb0, 7, 127}));
    EXPECT_FALSE(copy.data.getAutoGrow());
    original.data[1] = 8;
    EXPECT_EQ(copy.data[1], 7);
}

TEST(EventCopy, AssignmentKeepsOwnSettingsAndGrowsWhenNeeded) {
    MFEvent target;
    target.data.setMaxSize(0);
    MFEvent source(5, 6, bytearray({0xf0, 1, 2, 3, 4, 5, 6, 0xf7}));
    target = source;
    EXPECT_EQ(target.time, 5);
    EXPECT_EQ(target.track, 6);
    EXPECT_EQ(of(target.data), bytes({0xf0, 1, 2, 3, 4, 5, 6, 0xf7}));
    EXPECT_TRUE(target.data.getAutoGrow());
    EXPECT_EQ(target.data.getGrowth(), 4);
}

TEST(EventCopy, AssignmentOfShorterBytesReplacesThem) {
    MFEvent target(1, 2, 0x90, 60, 64);
    MFEvent source(0xc0, 5);
    source.time = 7;
    target = source;
    EXPECT_EQ(of(target.data), bytes({0xc0, 5}));
    EXPECT_EQ(target.data.getAllocSize(), 4);
}

TEST(EventCopy, SelfAssignmentChangesNothing) {
    MFEvent e(3, 4, 0x90, 1, 2);
    MFEvent& alias = e;
    e = alias;
    EXPECT_EQ(e.time, 3);
    EXPECT_EQ(of(e.data), bytes({0x90, 1, 2}));
}

TEST(EventCopy, EventsMovedByAGrowKeepTheirBytes) {
    SigCollection<MFEvent> list;
    list.setGrowth(2);
    for (int i = 0; i < 9; i++) {
        list.append(MFEvent(i, 0, 0x90, i, 100));
    }
    ASSERT_EQ(list.getSize(), 9);
    for (int i = 0; i < 9; i++) {
        EXPECT_EQ(list[i].time, i);
        EXPECT_EQ(of(list[i].data), bytes({0x90, i, 100}));
    }
}

} // namespace
