// The text dump of a score, compared whole and byte for byte.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "MidiFile.h"

namespace {

const std::string kOpening = "++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++\n";
const std::string kTrackRule = "   +++++++++++++++++++++++++++++++++++++++++++++++++++\n\n";
const std::string kClosing = "+++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++\n\n";

std::string dump(MidiFile& score) {
    std::ostringstream out;
    out << score;
    return out.str();
}

} // namespace

TEST(DumpText, RulesHaveTheirLengths) {
    EXPECT_EQ(kOpening.size(), 65u);
    EXPECT_EQ(kTrackRule.size(), 3u + 51u + 2u);
    EXPECT_EQ(kClosing.size(), 65u);
}

TEST(DumpText, NewScore) {
    MidiFile score;
    EXPECT_EQ(dump(score), kOpening +
                               "Number of Tracks: 1\n"
                               "Time method: 0 (Delta timing)\n"
                               "Divisions per Quarter Note: 48\n"
                               "\nTrack 0" +
                               kTrackRule + kClosing);
}

TEST(DumpText, TrackNameLine) {
    MidiFile score;
    score.addMetaEvent(0, 0, 3, "Pedal");
    EXPECT_EQ(dump(score), kOpening +
                               "Number of Tracks: 1\n"
                               "Time method: 0 (Delta timing)\n"
                               "Divisions per Quarter Note: 48\n"
                               "\nTrack 0" +
                               kTrackRule + "0\t0xff TRACK [Pedal]\n" + kClosing);
}

TEST(DumpText, LabelsDecimalBytesAndLowercaseHex) {
    MidiFile score;
    score.setTicksPerQuarterNote(192);
    score.absoluteTime();
    score.addTrack(2);
    score.addMetaEvent(0, 0, 1, "text");
    score.addMetaEvent(0, 0, 2, "(c) 1925");
    score.addMetaEvent(0, 0, 4, "Organ");
    score.addMetaEvent(0, 12, 5, "la");
    score.addMetaEvent(0, 12, 0x51, bytearray({0x07, 0xA1, 0x20}));
    score.addMetaEvent(0, 300, 0x2F, bytearray({}));
    score.addMetaEvent(0, 300, 1, bytearray({}));
    score.addEvent(2, 7, bytearray({0x9A, 60, 100}));
    score.addEvent(2, 7, bytearray({0xC2, 19}));
    score.addEvent(2, 8, bytearray({0x05}));
    score.addEvent(2, -3, bytearray({0xFF}));
    score.addEvent(2, 9, bytearray({0xFF, 0x02}));
    EXPECT_EQ(dump(score), kOpening +
                               "Number of Tracks: 3\n"
                               "Time method: 1 (Absolute timing)\n"
                               "Divisions per Quarter Note: 192\n"
                               "\nTrack 0" +
                               kTrackRule +
                               "0\t0xff TEXT [text]\n"
                               "0\t0xff COPY [(c) 1925]\n"
                               "0\t0xff INSTR [Organ]\n"
                               "12\t0xff LYRIC [la]\n"
                               "12\t0xff 81 3 7 161 32 \n"
                               "300\t0xff 47 0 \n"
                               "300\t0xff TEXT []\n"
                               "\nTrack 1" +
                               kTrackRule + "\nTrack 2" + kTrackRule +
                               "7\t0x9a 60 100 \n"
                               "7\t0xc2 19 \n"
                               "8\t0x5 \n"
                               "-3\t0xff \n"
                               "9\t0xff COPY []\n" +
                               kClosing);
}

TEST(DumpText, LongTextShowsSecondLengthByteAsCharacter) {
    MidiFile score;
    const std::string text(130, 'a');
    score.addMetaEvent(0, 0, 1, text.c_str());
    // 130 is the two-byte length 81 02; the label assumes one byte.
    EXPECT_EQ(dump(score), kOpening +
                               "Number of Tracks: 1\n"
                               "Time method: 0 (Delta timing)\n"
                               "Divisions per Quarter Note: 48\n"
                               "\nTrack 0" +
                               kTrackRule + "0\t0xff TEXT [\x02" + text + "]\n" + kClosing);
}

// An event without bytes shows only its time.
TEST(DumpText, EventWithoutBytesShowsItsTime) {
    MidiFile score;
    score.addEvent(0, 4, bytearray({0x80, 1, 2}));
    score.getEvent(0, 1).time = 6;
    EXPECT_EQ(dump(score), kOpening +
                               "Number of Tracks: 1\n"
                               "Time method: 0 (Delta timing)\n"
                               "Divisions per Quarter Note: 48\n"
                               "\nTrack 0" +
                               kTrackRule + "4\t0x80 1 2 \n6\t\n" + kClosing);
    EXPECT_EQ(score.getEvent(0, 1).data.getSize(), 0);
}

TEST(DumpText, CallersHexStreamStillGetsDecimals) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.addTrack(10);
    score.addEvent(10, 255, bytearray({0xB0, 64, 127}));
    std::ostringstream out;
    out << std::hex << std::uppercase << score;
    const std::string text = out.str();
    EXPECT_NE(text.find("Number of Tracks: 11\n"), std::string::npos);
    EXPECT_NE(text.find("Divisions per Quarter Note: 96\n"), std::string::npos);
    EXPECT_NE(text.find("\nTrack 10" + kTrackRule + "255\t0xb0 64 127 \n" + kClosing),
              std::string::npos);
}

TEST(DumpText, ReturnsTheStreamForChaining) {
    MidiFile score;
    std::ostringstream out;
    out << score << "end";
    EXPECT_EQ(out.str().substr(out.str().size() - 3 - kClosing.size()), kClosing + "end");
}
