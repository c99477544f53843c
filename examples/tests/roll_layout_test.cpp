// The roll as written: one track, header meta events first, then the holes
// in tick order with closings before openings, read back through the model.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <unistd.h>

#include "MidiFile.h"
#include "rollwriter.h"
#include "score.h"

namespace {

std::string bytesOf(MFEvent& e) {
    std::string s;
    for (int i = 0; i < e.data.getSize(); i++) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X ", e.data[i]);
        s += hex;
    }
    return s;
}

// Writes the roll made from `text` to a temporary file and reads it back.
void roundTrip(const std::string& text, MidiFile& back) {
    Score score;
    std::string error;
    std::istringstream in(text);
    ASSERT_TRUE(parseScore(in, score, error) && finishScore(score, error)) << error;
    MidiFile roll;
    buildRoll(score, roll);
    char path[] = "/tmp/rollXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    roll.write(path);
    ASSERT_EQ(back.read(path), 1);
    std::remove(path);
}

TEST(RollLayout, HeaderEventsComeFirstWithTheTempo) {
    MidiFile roll;
    roundTrip("title T\ncopyright C\ntext X\ntempo 120\ntpq 96\npedal 1:1 C2/1\n", roll);
    ASSERT_EQ(roll.getTrackCount(), 1);
    EXPECT_EQ(roll.getTicksPerQuarterNote(), 96);
    ASSERT_EQ(roll.getNumEvents(0), 7);
    EXPECT_EQ(bytesOf(roll.getEvent(0, 0)), "FF 03 01 54 ");
    EXPECT_EQ(bytesOf(roll.getEvent(0, 1)), "FF 02 01 43 ");
    EXPECT_EQ(bytesOf(roll.getEvent(0, 2)), "FF 01 01 58 ");
    EXPECT_EQ(bytesOf(roll.getEvent(0, 3)), "FF 51 03 07 A1 20 ");
    EXPECT_EQ(bytesOf(roll.getEvent(0, 4)), "90 06 40 ");
    EXPECT_EQ(roll.getEvent(0, 5).time, 90); // 96 ticks less the release
    EXPECT_EQ(bytesOf(roll.getEvent(0, 5)), "80 06 00 ");
    EXPECT_EQ(bytesOf(roll.getEvent(0, 6)), "FF 2F 00 ");
}

TEST(RollLayout, NoTempoLineWritesNoTempoEvent) {
    MidiFile roll;
    roundTrip("great 1:1 C4/1\n", roll);
    ASSERT_EQ(roll.getNumEvents(0), 3); // the note and the end of the track
    EXPECT_EQ(bytesOf(roll.getEvent(0, 0)), "90 36 40 ");
}

TEST(RollLayout, ClosingsPrecedeOpeningsOnOneTick) {
    MidiFile roll;
    // The repeated note's hole closes and reopens on tick 192.
    roundTrip("release 0\nswell 1:1 C4/1 C4/1 E4/1\n", roll);
    ASSERT_EQ(roll.getNumEvents(0), 7);
    EXPECT_EQ(roll.getEvent(0, 1).time, 192);
    EXPECT_EQ(bytesOf(roll.getEvent(0, 1)), "80 37 00 ");
    EXPECT_EQ(bytesOf(roll.getEvent(0, 2)), "90 37 40 ");
    for (int i = 1; i < roll.getNumEvents(0); i++) {
        EXPECT_LE(roll.getEvent(0, i - 1).time, roll.getEvent(0, i).time);
    }
}

TEST(RollLayout, PlainChangeReachesTheRollInItsOrder) {
    MidiFile roll;
    roundTrip("plain 1:2 2\n", roll);
    // stop hole 2, then two shade-open holes, each closed before the next opens
    std::string order;
    for (int i = 0; i < roll.getNumEvents(0); i++) {
        MFEvent& e = roll.getEvent(0, i);
        if (e.data[0] == 0xFF) {
            continue;
        }
        order += (e.data[0] == 0x90 ? "+" : "-") + std::to_string(e.data[1]) + " ";
    }
    EXPECT_EQ(order, "+2 -2 +124 -124 +124 -124 ");
}

} // namespace
