// Meta events built by the score: the bytes stored, the length prefix, the
// type's top bit, and a payload too long to encode.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

using ::testing::ExitedWithCode;

TEST(TrackMetaEvent, TextTrackName) {
    MidiFile score;
    EXPECT_EQ(score.addMetaEvent(0, 0, 3, "Pedal"), 0);
    EXPECT_EQ(of(score.getEvent(0, 0).data), bytes({0xff, 0x03, 0x05, 'P', 'e', 'd', 'a', 'l'}));
    EXPECT_EQ(score.getEvent(0, 0).time, 0);
    EXPECT_EQ(score.getTrack(0, 0), 0);
}

TEST(TrackMetaEvent, TypeKeepsOnlySevenBits) {
    MidiFile score;
    score.addMetaEvent(0, 0, 0x83, "x");
    EXPECT_EQ(of(score.getEvent(0, 0).data), bytes({0xff, 0x03, 0x01, 'x'}));
}

TEST(TrackMetaEvent, EmptyPayloadAndTrackEnd) {
    MidiFile score;
    score.addTrack();
    EXPECT_EQ(score.addMetaEvent(1, 40, 0x2f, ""), 0);
    EXPECT_EQ(of(score.getEvent(1, 0).data), bytes({0xff, 0x2f, 0x00}));
    EXPECT_EQ(score.getEvent(1, 0).time, 40);
}

TEST(TrackMetaEvent, BinaryPayloadTempo) {
    MidiFile score;
    EXPECT_EQ(score.addMetaEvent(0, 0, 0x51, bytearray({0x07, 0xa1, 0x20})), 0);
    EXPECT_EQ(of(score.getEvent(0, 0).data), bytes({0xff, 0x51, 0x03, 0x07, 0xa1, 0x20}));
}

TEST(TrackMetaEvent, LongTextGetsATwoByteLength) {
    MidiFile score;
    const std::string words(200, 'w');
    score.addMetaEvent(0, 0, 1, words.c_str());
    EXPECT_EQ(of(score.getEvent(0, 0).data),
              concat({bytes({0xff, 0x01, 0x81, 0x48}), text(words)}));
    const std::string longer(16384, 'v');
    score.addMetaEvent(0, 0, 1, longer.c_str());
    EXPECT_EQ(score.getEvent(0, 1).data.getSize(), 16384 + 3 + 2);
    EXPECT_EQ(of(score.getEvent(0, 1).data).at(2), 0x81);
    EXPECT_EQ(of(score.getEvent(0, 1).data).at(3), 0x80);
    EXPECT_EQ(of(score.getEvent(0, 1).data).at(4), 0x00);
}

TEST(TrackMetaEvent, ReturnsIndexInItsTrack) {
    MidiFile score;
    score.addTrack(2);
    score.addMetaEvent(2, 0, 3, "Swell");
    EXPECT_EQ(score.addMetaEvent(2, 0, 1, "two"), 1);
}

TEST(TrackMetaEventDeath, TrackOutsideTheTable) {
    MidiFile score;
    EXPECT_EXIT(score.addMetaEvent(1, 0, 3, "x"), ExitedWithCode(1),
                "invalid array location 1 Maximum is 0");
}

} // namespace
