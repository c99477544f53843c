// The reader's checks of the file signature and header: the messages, the
// result, and that a refused file leaves the score as it was.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

// A score that already holds something, to see whether a read replaced it.
void prefill(MidiFile& score) {
    score.addTrack(2);
    score.setTicksPerQuarterNote(77);
    score.addEvent(2, 5, bytearray({0xc0, 1}));
}

void expectUntouched(MidiFile& score) {
    EXPECT_EQ(score.getTrackCount(), 3);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 77);
    EXPECT_EQ(score.getNumEvents(2), 1);
    EXPECT_EQ(score.getTimeState(), 0);
}

TEST(ReaderHeader, MissingFileFailsSilently) {
    MidiFile score;
    prefill(score);
    const auto r = readcaptured(score, "/nonexistent/vennor/roll.mid");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    expectUntouched(score);
    // The name is taken before the file is opened.
    EXPECT_STREQ(score.getFilename(), "roll.mid");
}

TEST(ReaderHeader, ConstructorOnMissingFileKeepsOneEmptyTrack) {
    MidiFile score("/nonexistent/vennor/roll.mid");
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getNumEvents(0), 0);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 48);
    EXPECT_EQ(score.getTimeState(), 0);
}

TEST(ReaderHeader, FirstSignatureByteWrongShowsIt) {
    const std::string path = writetemp(concat({bytes({'X', 'T', 'h', 'd'}), Bytes(20, 0)}));
    MidiFile score;
    prefill(score);
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "File: " + path + " is not a MIDI file\nChara data isX\n");
    EXPECT_EQ(r.err, "");
    expectUntouched(score);
}

TEST(ReaderHeader, LaterSignatureBytesWrongPrintOneLine) {
    for (const Bytes& sig :
         {bytes({'M', 'X', 'h', 'd'}), bytes({'M', 'T', 'X', 'd'}), bytes({'M', 'T', 'h', 'X'})}) {
        const std::string path = writetemp(concat({sig, Bytes(20, 0)}));
        MidiFile score;
        const auto r = readcaptured(score, path);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "File: " + path + " is not a MIDI file\n");
    }
}

// An empty file has no byte to show after "Chara data is".
TEST(ReaderHeader, EmptyFileShowsNoCharacter) {
    const std::string path = writetemp({});
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "File: " + path + " is not a MIDI file\nChara data is\n");
}

TEST(ReaderHeader, TruncatedSignature) {
    const std::string path = writetemp(bytes({'M', 'T'}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "File: " + path + " is not a MIDI file\n");
}

TEST(ReaderHeader, HeaderLengthMustBeSix) {
    const std::string path = writetemp(concat(
        {bytes({'M', 'T', 'h', 'd', 0, 0, 0, 7, 0, 0, 0, 1, 0, 0x60, 0}), chunk(endoftrackdelta)}));
    MidiFile score;
    prefill(score);
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "File: " + path + " is not a MIDI 1.0 Standard MIDI file.\nThe header size is: 7\n");
    expectUntouched(score);
}

TEST(ReaderHeader, TypeTwoIsRefused) {
    const std::string path = writetemp(concat({header(2, 1, 96), chunk(endoftrackdelta)}));
    MidiFile score;
    prefill(score);
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Error: cannot handle type 2 MIDI file\n");
    expectUntouched(score);
    const std::string big = writetemp(concat({header(0xffff, 1, 96), chunk(endoftrackdelta)}));
    EXPECT_EQ(readcaptured(score, big).out, "Error: cannot handle type 65535 MIDI file\n");
}

TEST(ReaderHeader, TypeZeroWithTwoTracksIsRefusedBeforeReplacing) {
    const std::string path =
        writetemp(concat({header(0, 2, 96), chunk(endoftrackdelta), chunk(endoftrackdelta)}));
    MidiFile score;
    prefill(score);
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Error: Type 0 MIDI file can only contain one track\n");
    expectUntouched(score);
}

TEST(ReaderHeader, TypeZeroWithNoTrackIsRefused) {
    const std::string path = writetemp(header(0, 0, 96));
    MidiFile score;
    EXPECT_EQ(readcaptured(score, path).out,
              "Error: Type 0 MIDI file can only contain one track\n");
}

TEST(ReaderHeader, TypeOneWithNoTracksLeavesNoTracksAtAll) {
    const std::string path = writetemp(header(1, 0, 96));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(score.getTrackCount(), 0);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 96);
    EXPECT_EQ(score.getTimeState(), 1);
}

TEST(ReaderHeader, SuccessReplacesEverythingAndKeepsTheBaseName) {
    const std::string path = writetemp(
        concat({header(0, 1, 120), chunk(concat({bytes({0x00, 0xc0, 0x05}), endoftrackdelta}))}),
        "base.mid");
    MidiFile score;
    prefill(score);
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 120);
    EXPECT_EQ(score.getTimeState(), 1);
    EXPECT_EQ(eventsof(score, 0),
              (std::vector<Ev>{{0, bytes({0xc0, 0x05})}, {0, bytes({0xff, 0x2f, 0x00})}}));
    const std::string name = path.substr(path.rfind('/') + 1);
    EXPECT_STREQ(score.getFilename(), name.c_str());
}

TEST(ReaderHeader, FilenameWithoutDirectory) {
    MidiFile score;
    score.setFilename("plain.mid");
    EXPECT_STREQ(score.getFilename(), "plain.mid");
    score.setFilename("/a/b/c/deep.mid");
    EXPECT_STREQ(score.getFilename(), "deep.mid");
    score.setFilename("dir/");
    EXPECT_STREQ(score.getFilename(), "");
}

TEST(ReaderHeader, ConstructorReadsTheFile) {
    const std::string path =
        writetemp(concat({header(1, 2, 192), chunk(endoftrackdelta),
                          chunk(concat({bytes({0x10, 0x90, 1, 2}), endoftrackdelta}))}));
    MidiFile score(path.c_str());
    EXPECT_EQ(score.getTrackCount(), 2);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 192);
    EXPECT_EQ(eventsof(score, 1),
              (std::vector<Ev>{{16, bytes({0x90, 1, 2})}, {16, bytes({0xff, 0x2f, 0x00})}}));
    EXPECT_EQ(score.getTrack(1, 0), 1);
}

} // namespace
