// The order of events inside a track: eventcompare's rules pair by pair, and
// sorting that honours every ordered pair while equal kinds keep the order in
// which they were added.
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

MFEvent ev(int time, const Bytes& data) {
    return MFEvent(time, 0, bytearray(data));
}

int cmp(const MFEvent& a, const MFEvent& b) {
    return eventcompare(&a, &b);
}

const Bytes kNoteOn = bytes({0x90, 60, 64});
const Bytes kNoteOnZero = bytes({0x91, 60, 0});
const Bytes kNoteOff = bytes({0x80, 60, 64});
const Bytes kBend = bytes({0xe0, 0, 64});
const Bytes kProgram = bytes({0xc0, 5});
const Bytes kControl = bytes({0xb0, 7, 100});
const Bytes kTempo = bytes({0xff, 0x51, 0x03, 0x07, 0xa1, 0x20});
const Bytes kName = bytes({0xff, 0x03, 0x01, 'x'});

TEST(SortCompare, TimeDecidesFirst) {
    EXPECT_GT(cmp(ev(10, endoftrack), ev(5, kNoteOn)), 0);
    EXPECT_LT(cmp(ev(5, endoftrack), ev(10, kNoteOn)), 0);
    EXPECT_LT(cmp(ev(-3, kNoteOn), ev(0, kNoteOff)), 0);
}

TEST(SortCompare, MetaEventsComeAfterOtherMessages) {
    EXPECT_GT(cmp(ev(0, kTempo), ev(0, kNoteOn)), 0);
    EXPECT_LT(cmp(ev(0, kProgram), ev(0, kName)), 0);
    EXPECT_LT(cmp(ev(0, kNoteOff), ev(0, endoftrack)), 0);
}

TEST(SortCompare, EndOfTrackComesAfterOtherMetaEvents) {
    EXPECT_LT(cmp(ev(0, kTempo), ev(0, endoftrack)), 0);
    EXPECT_GT(cmp(ev(0, endoftrack), ev(0, kName)), 0);
}

TEST(SortCompare, BendsAndNoteOffsBeforeNoteOns) {
    EXPECT_LT(cmp(ev(0, kBend), ev(0, kNoteOn)), 0);
    EXPECT_GT(cmp(ev(0, kNoteOn), ev(0, kBend)), 0);
    EXPECT_GT(cmp(ev(0, kNoteOn), ev(0, kNoteOff)), 0);
    EXPECT_LT(cmp(ev(0, kNoteOff), ev(0, kNoteOn)), 0);
    // A note-on of velocity 0 is still a note-on.
    EXPECT_GT(cmp(ev(0, kNoteOnZero), ev(0, kNoteOff)), 0);
}

TEST(SortCompare, OtherPairsTie) {
    EXPECT_EQ(cmp(ev(0, kNoteOn), ev(0, kNoteOn)), 0);
    EXPECT_EQ(cmp(ev(0, kNoteOn), ev(0, kProgram)), 0);
    EXPECT_EQ(cmp(ev(0, kNoteOff), ev(0, kProgram)), 0);
    EXPECT_EQ(cmp(ev(0, kBend), ev(0, kNoteOff)), 0);
    EXPECT_EQ(cmp(ev(0, kTempo), ev(0, kName)), 0);
    EXPECT_EQ(cmp(ev(0, kControl), ev(0, kProgram)), 0);
}

// An event without bytes reads as neither meta nor note and is not touched.
TEST(SortCompare, EventWithoutBytesTiesWithChannelMessages) {
    MFEvent empty;
    EXPECT_EQ(cmp(empty, ev(0, kNoteOn)), 0);
    EXPECT_LT(cmp(empty, ev(0, endoftrack)), 0);
    EXPECT_EQ(empty.data.getSize(), 0);
}

TEST(SortTrack, OneTickExample) {
    MidiFile score;
    score.absoluteTime();
    for (const Bytes& b : {kNoteOn, kTempo, endoftrack, kNoteOff}) {
        score.addEvent(0, 96, bytearray(b));
    }
    score.sortTracks();
    EXPECT_EQ(eventsof(score, 0),
              (std::vector<Ev>{{96, kNoteOff}, {96, kNoteOn}, {96, kTempo}, {96, endoftrack}}));
}

TEST(SortTrack, TimesAscendAndStateIsUntouched) {
    MidiFile score;
    score.addTrack(2);
    score.absoluteTime();
    score.addEvent(2, 300, bytearray(kNoteOff));
    score.addEvent(2, 0, bytearray(kProgram));
    score.addEvent(2, 100, bytearray(kNoteOn));
    score.sortTracks();
    EXPECT_EQ(eventsof(score, 2),
              (std::vector<Ev>{{0, kProgram}, {100, kNoteOn}, {300, kNoteOff}}));
    EXPECT_EQ(score.getTimeState(), 1);
}

TEST(SortTrack, EqualKindsKeepInsertionOrder) {
    const Bytes names[] = {bytes({0xff, 0x03, 0x01, 'a'}), bytes({0xff, 0x01, 0x01, 'b'}),
                           bytes({0xff, 0x02, 0x01, 'c'})};
    const Bytes notes[] = {bytes({0x92, 70, 1}), bytes({0x90, 50, 1}), bytes({0x91, 60, 1})};
    const Bytes others[] = {bytes({0xc2, 9}), bytes({0xb0, 7, 1}), bytes({0xf8})};
    const Bytes offs[] = {bytes({0x82, 70, 0}), bytes({0xe1, 0, 64}), bytes({0x80, 50, 0})};
    SigCollection<MFEvent> list;
    for (int i = 0; i < 3; i++) {
        list.append(ev(10, names[i]));
        list.append(ev(10, notes[i]));
        list.append(ev(10, others[i]));
        list.append(ev(10, offs[i]));
    }
    MidiFile score;
    score.sortTrack(list);
    std::vector<Bytes> got;
    for (int i = 0; i < list.getSize(); i++) {
        got.push_back(of(list[i].data));
    }
    EXPECT_EQ(got,
              (std::vector<Bytes>{offs[0], offs[1], offs[2], others[0], others[1], others[2],
                                  notes[0], notes[1], notes[2], names[0], names[1], names[2]}));
}

TEST(SortTrack, EmptyAndSingleTracks) {
    SigCollection<MFEvent> empty;
    SigCollection<MFEvent> one;
    one.append(ev(3, kNoteOn));
    MidiFile score;
    score.sortTrack(empty);
    score.sortTrack(one);
    EXPECT_EQ(empty.getSize(), 0);
    EXPECT_EQ(one[0].time, 3);
}

// Random tracks of every kind: after sorting, no later event may be one that
// eventcompare puts strictly first, and equal kinds at one tick stay in the
// order they were added.
TEST(SortTrack, RandomTracksHonourEveryOrderedPair) {
    const Bytes kinds[] = {kNoteOn,    kNoteOnZero,   kNoteOff,        kBend,
                           kProgram,   kControl,      kTempo,          kName,
                           endoftrack, bytes({0xf0}), bytes({0xd0, 3})};
    std::mt19937 random(20240607);
    for (int round = 0; round < 50; round++) {
        SigCollection<MFEvent> list;
        const int n = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < n; i++) {
            MFEvent e = ev(static_cast<int>(random() % 4), kinds[random() % 11]);
            e.track = i; // remembers the insertion order
            list.append(e);
        }
        MidiFile score;
        score.sortTrack(list);
        ASSERT_EQ(list.getSize(), n);
        for (int i = 0; i < n; i++) {
            for (int j = i + 1; j < n; j++) {
                ASSERT_LE(cmp(list[i], list[j]), 0) << "round " << round << " at " << i << "," << j;
                if (list[i].time == list[j].time && of(list[i].data) == of(list[j].data)) {
                    ASSERT_LT(list[i].track, list[j].track) << "round " << round;
                }
            }
        }
    }
}

} // namespace
