// Track chunk signatures: the messages for each wrong byte, files that end
// early, and what a failed read leaves in the score.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

TEST(ReaderTrackSignature, FirstByteWrongShowsCharacterAndCode) {
    const std::string path = writetemp(
        concat({header(1, 1, 96), bytes({'X', 'T', 'r', 'k', 0, 0, 0, 4}), endoftrackdelta}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "File: " + path + " has bad track info\ncharacter 1 is: X(88): expecting 'M'\n");
}

TEST(ReaderTrackSignature, LaterBytesShowTheirCode) {
    const Bytes sigs[] = {bytes({'M', 'x', 'r', 'k'}), bytes({'M', 'T', 'R', 'k'}),
                          bytes({'M', 'T', 'r', 'K'})};
    const char* lines[] = {"character 2 is: 120\n", "character 3 is: 82\n", "character 4 is: 75\n"};
    for (int i = 0; i < 3; i++) {
        const std::string path =
            writetemp(concat({header(1, 1, 96), sigs[i], bytes({0, 0, 0, 4}), endoftrackdelta}));
        MidiFile score;
        const auto r = readcaptured(score, path);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "File: " + path + " has bad track info\n" + lines[i]);
    }
}

// The file ends inside track 0, which therefore reads on to the end; track 1
// then finds no signature, and the signature byte still holds the 'k' of the
// previous one.
TEST(ReaderTrackSignature, FileEndingInsideAnEarlierTrack) {
    const std::string path = writetemp(
        concat({header(1, 2, 96), chunk(bytes({0x00, 0x90, 60, 64, 0x10, 0x80, 60, 0}))}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "File: " + path +
                         " has bad track info\ncharacter 1 is: k(107): expecting 'M'\n"
                         "End of file reached\n");
    // What was read stays; the later list exists and is empty; the state
    // flag was not switched although the times are absolute.
    EXPECT_EQ(score.getTrackCount(), 2);
    EXPECT_EQ(eventsof(score, 0),
              (std::vector<Ev>{{0, bytes({0x90, 60, 64})}, {16, bytes({0x80, 60, 0})}}));
    EXPECT_EQ(score.getNumEvents(1), 0);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 96);
    EXPECT_EQ(score.getTimeState(), 0);
}

TEST(ReaderTrackSignature, NoEndOfFileLineWhenMoreBytesFollow) {
    const std::string path = writetemp(
        concat({header(1, 2, 96), chunk(endoftrackdelta), bytes({'Z', 'Z', 'Z', 'Z', 0, 0})}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "File: " + path + " has bad track info\ncharacter 1 is: Z(90): expecting 'M'\n");
    EXPECT_EQ(score.getNumEvents(0), 1);
}

// Right after the header the signature byte still holds the header's 'd'.
TEST(ReaderTrackSignature, HeaderOnlyFile) {
    const std::string path = writetemp(header(0, 1, 96));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "File: " + path +
                         " has bad track info\ncharacter 1 is: d(100): expecting 'M'\n"
                         "End of file reached\n");
    EXPECT_EQ(score.getTrackCount(), 1);
}

// A track without an end-of-track event reads on into the next chunk, whose
// signature and length bytes become events.
TEST(ReaderTrackSignature, MissingEndOfTrackSwallowsTheNextChunk) {
    const Bytes first = bytes({0x00, 0x90, 60, 64});
    const Bytes second = bytes({0x00, 0xc0, 0x05});
    const std::string path = writetemp(concat({header(1, 2, 96), chunk(first), chunk(second)}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 0);
    // 'M' is a delta of 77, 'T' 'r' running-status data; 'k' a delta, 00 00
    // data; 00 a delta, 03 00 data; C0 05 a delta, and the file ends.
    EXPECT_EQ(eventsof(score, 0), (std::vector<Ev>{{0, bytes({0x90, 60, 64})},
                                                   {77, bytes({0x90, 'T', 'r'})},
                                                   {77 + 'k', bytes({0x90, 0, 0})},
                                                   {77 + 'k', bytes({0x90, 3, 0})}}));
    EXPECT_NE(r.out.find("has bad track info"), std::string::npos);
}

} // namespace
