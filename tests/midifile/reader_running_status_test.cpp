// Running status: stored events always carry their status byte, the running
// command survives track boundaries and meta events, and a data byte with no
// command before it ends the program.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

using ::testing::ExitedWithCode;

std::vector<Ev> readTrack(const Bytes& body, int track = 0) {
    const std::string path = writetemp(concat({header(0, 1, 96), chunk(body)}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 1);
    return eventsof(score, track);
}

TEST(ReaderRunningStatus, NoteOnWithoutStatusGetsItStored) {
    EXPECT_EQ(
        readTrack(concat({bytes({0x00, 0x90, 0x3c, 0x40, 0x00, 0x3c, 0x40}), endoftrackdelta})),
        (std::vector<Ev>{
            {0, bytes({0x90, 0x3c, 0x40})}, {0, bytes({0x90, 0x3c, 0x40})}, {0, endoftrack}}));
}

// The usual style of other writers: one note-on status, then note-offs as
// note-ons of velocity 0, with running status throughout.
TEST(ReaderRunningStatus, VelocityZeroNoteOffsUnderRunningStatus) {
    EXPECT_EQ(readTrack(concat(
                  {bytes({0x00, 0x91, 60, 100, 0x60, 60, 0, 0x00, 64, 90, 0x83, 0x00, 64, 0}),
                   endoftrackdelta})),
              (std::vector<Ev>{{0, bytes({0x91, 60, 100})},
                               {96, bytes({0x91, 60, 0})},
                               {96, bytes({0x91, 64, 90})},
                               {96 + 384, bytes({0x91, 64, 0})},
                               {96 + 384, endoftrack}}));
}

TEST(ReaderRunningStatus, OneDataByteMessages) {
    EXPECT_EQ(readTrack(concat(
                  {bytes({0x00, 0xc2, 5, 0x01, 7, 0x00, 0xd2, 40, 0x00, 41}), endoftrackdelta})),
              (std::vector<Ev>{{0, bytes({0xc2, 5})},
                               {1, bytes({0xc2, 7})},
                               {1, bytes({0xd2, 40})},
                               {1, bytes({0xd2, 41})},
                               {1, endoftrack}}));
}

TEST(ReaderRunningStatus, ControllersPressureAndBends) {
    EXPECT_EQ(readTrack(concat({bytes({0x00, 0xb0, 7,  100,  0x00, 10, 64, 0x00, 0xa0, 60,  30,
                                       0x00, 61,   31, 0x00, 0xe0, 0,  64, 0x00, 0x7f, 0x7f}),
                                endoftrackdelta})),
              (std::vector<Ev>{{0, bytes({0xb0, 7, 100})},
                               {0, bytes({0xb0, 10, 64})},
                               {0, bytes({0xa0, 60, 30})},
                               {0, bytes({0xa0, 61, 31})},
                               {0, bytes({0xe0, 0, 64})},
                               {0, bytes({0xe0, 0x7f, 0x7f})},
                               {0, endoftrack}}));
}

TEST(ReaderRunningStatus, CarriesAcrossTracks) {
    const std::string path = writetemp(
        concat({header(1, 2, 96), chunk(bytes({0x00, 0x93, 50, 60, 0x00, 0xff, 0x2f, 0x00})),
                chunk(concat({bytes({0x05, 50, 0}), endoftrackdelta}))}));
    MidiFile score;
    EXPECT_EQ(readcaptured(score, path).status, 1);
    // The end-of-track meta event made 0xFF the running command, so the data
    // byte 50 in track 1 is read as a meta type and 0 as its length.
    EXPECT_EQ(eventsof(score, 1), (std::vector<Ev>{{5, bytes({0xff, 50, 0})}, {5, endoftrack}}));
}

TEST(ReaderRunningStatus, DataByteAfterAMetaEventIsAnotherMetaEvent) {
    EXPECT_EQ(readTrack(concat({bytes({0x00, 0xff, 0x01, 0x02, 'h', 'i', 0x00, 0x03, 0x01, 'x'}),
                                endoftrackdelta})),
              (std::vector<Ev>{{0, bytes({0xff, 0x01, 0x02, 'h', 'i'})},
                               {0, bytes({0xff, 0x03, 0x01, 'x'})},
                               {0, endoftrack}}));
}

TEST(ReaderRunningStatusDeath, DataByteWithNoPreviousCommand) {
    const std::string path =
        writetemp(concat({header(0, 1, 96), chunk(bytes({0x00, 0x3c, 0x40}))}));
    EXPECT_EXIT(
        {
            onlystdout();
            MidiFile score(path.c_str());
        },
        ExitedWithCode(1), "^Error: running command with no previous command\n$");
}

TEST(ReaderRunningStatus, ExtractMidiDataUpdatesTheRunningCommand) {
    const std::string path = writetemp(bytes({0x92, 1, 2, 3, 4, 0xc0, 7}));
    FileIO in(path.c_str(), static_cast<unsigned int>(std::ios::in | std::ios::binary));
    Array<unsigned char> data;
    unsigned char running = 0;
    MidiFile::extractMidiData(in, data, running);
    EXPECT_EQ(of(data), bytes({0x92, 1, 2}));
    EXPECT_EQ(running, 0x92);
    EXPECT_TRUE(data.getAutoGrow());
    MidiFile::extractMidiData(in, data, running);
    EXPECT_EQ(of(data), bytes({0x92, 3, 4}));
    MidiFile::extractMidiData(in, data, running);
    EXPECT_EQ(of(data), bytes({0xc0, 7}));
    EXPECT_EQ(running, 0xc0);
}

TEST(ReaderRunningStatusDeath, ExtractWithACommandBelowStatusRange) {
    const std::string path = writetemp(bytes({0x10, 0x20}));
    EXPECT_EXIT(
        {
            onlystdout();
            FileIO in(path.c_str(), static_cast<unsigned int>(std::ios::in | std::ios::binary));
            Array<unsigned char> data;
            unsigned char running = 0x42;
            MidiFile::extractMidiData(in, data, running);
        },
        ExitedWithCode(1), "^Error reading midifile\nCommand byte was 66\n$");
}

} // namespace
