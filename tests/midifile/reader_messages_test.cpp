// The kinds of message inside a track: system exclusive, single-byte system
// messages, meta events of every length, the end-of-track event, and delta
// times of up to five bytes.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

using ::testing::ExitedWithCode;

std::vector<Ev> readTrack(const Bytes& body) {
    const std::string path = writetemp(concat({header(0, 1, 96), chunk(body)}));
    MidiFile score;
    EXPECT_EQ(readcaptured(score, path).status, 1);
    return eventsof(score, 0);
}

TEST(ReaderMessages, SystemExclusiveIsStoredAsItsStatusByte) {
    EXPECT_EQ(readTrack(concat(
                  {bytes({0x00, 0xf0, 0x05, 0x7e, 0x7f, 0x09, 0x01, 0xf7, 0x0a, 0x90, 60, 64}),
                   endoftrackdelta})),
              (std::vector<Ev>{{0, bytes({0xf0})}, {10, bytes({0x90, 60, 64})}, {10, endoftrack}}));
}

TEST(ReaderMessages, SingleByteSystemMessages) {
    EXPECT_EQ(readTrack(concat(
                  {bytes({0x00, 0xf7, 0x01, 0xf8, 0x02, 0xfe, 0x00, 0xf1}), endoftrackdelta})),
              (std::vector<Ev>{{0, bytes({0xf7})},
                               {1, bytes({0xf8})},
                               {3, bytes({0xfe})},
                               {3, bytes({0xf1})},
                               {3, endoftrack}}));
}

// After a single-byte system message its status stays the running command:
// a data byte then makes another event of that status, the byte not kept.
TEST(ReaderMessages, RunningSystemStatus) {
    EXPECT_EQ(readTrack(concat({bytes({0x00, 0xf8, 0x00, 0x12}), endoftrackdelta})),
              (std::vector<Ev>{{0, bytes({0xf8})}, {0, bytes({0xf8})}, {0, endoftrack}}));
}

TEST(ReaderMessages, MetaEventsOfSeveralTypes) {
    const Bytes body = concat({bytes({0x00, 0xff, 0x00, 0x02, 0x00, 0x01}),         // sequence no.
                               bytes({0x00, 0xff, 0x02, 0x04, '(', 'c', ')', ' '}), // copyright
                               bytes({0x00, 0xff, 0x51, 0x03, 0x07, 0xa1, 0x20}),   // tempo
                               bytes({0x00, 0xff, 0x58, 0x04, 4, 2, 24, 8}),        // time sig.
                               bytes({0x00, 0xff, 0x59, 0x02, 0xfe, 0}),            // key sig.
                               bytes({0x00, 0xff, 0x7f, 0x00}),                     // sequencer
                               endoftrackdelta});
    EXPECT_EQ(readTrack(body), (std::vector<Ev>{{0, bytes({0xff, 0x00, 0x02, 0x00, 0x01})},
                                                {0, bytes({0xff, 0x02, 0x04, '(', 'c', ')', ' '})},
                                                {0, bytes({0xff, 0x51, 0x03, 0x07, 0xa1, 0x20})},
                                                {0, bytes({0xff, 0x58, 0x04, 4, 2, 24, 8})},
                                                {0, bytes({0xff, 0x59, 0x02, 0xfe, 0})},
                                                {0, bytes({0xff, 0x7f, 0x00})},
                                                {0, endoftrack}}));
}

TEST(ReaderMessages, LongTextKeepsItsLengthBytesAsWritten) {
    const std::string words(200, 't');
    const std::string longer(20000, 'u');
    const Bytes first = concat({bytes({0xff, 0x01, 0x81, 0x48}), text(words)});
    // A length written with a redundant leading group is kept as it stands.
    const Bytes second = concat({bytes({0xff, 0x03, 0x80, 0x81, 0x48}), text(words)});
    const Bytes third = concat({bytes({0xff, 0x01, 0x81, 0x9c, 0x20}), text(longer)});
    EXPECT_EQ(readTrack(concat({bytes({0x00}), first, bytes({0x00}), second, bytes({0x00}), third,
                                endoftrackdelta})),
              (std::vector<Ev>{{0, first}, {0, second}, {0, third}, {0, endoftrack}}));
}

TEST(ReaderMessages, EndOfTrackIsLastAndStopsTheTrack) {
    const std::string path = writetemp(
        concat({header(1, 2, 96),
                chunk(bytes({0x00, 0x90, 1, 1, 0x20, 0xff, 0x2f, 0x00, 0x00, 0x90, 2, 2})),
                chunk(endoftrackdelta)}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    // The events after the end-of-track event are taken as the next signature.
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "File: " + path + " has bad track info\n" +
                         "character 1 is: " + std::string(1, '\0') + "(0): expecting 'M'\n");
    EXPECT_EQ(eventsof(score, 0), (std::vector<Ev>{{0, bytes({0x90, 1, 1})}, {32, endoftrack}}));
}

TEST(ReaderMessages, EndOfTrackCarriesItsAbsoluteTime) {
    EXPECT_EQ(readTrack(bytes({0x10, 0xc0, 1, 0x20, 0xff, 0x2f, 0x00})),
              (std::vector<Ev>{{16, bytes({0xc0, 1})}, {48, endoftrack}}));
}

TEST(ReaderMessages, FiveByteDeltaIsAccepted) {
    EXPECT_EQ(readTrack(concat({bytes({0x81, 0x80, 0x80, 0x80, 0x00, 0xc0, 1}), endoftrackdelta})),
              (std::vector<Ev>{{0x10000000, bytes({0xc0, 1})}, {0x10000000, endoftrack}}));
}

TEST(ReaderMessagesDeath, FiveContinuedDeltaBytes) {
    const std::string path =
        writetemp(concat({header(0, 1, 96), chunk(bytes({0x81, 0x81, 0x81, 0x81, 0x81, 0x00}))}));
    EXPECT_EXIT(
        {
            onlystdout();
            MidiFile score(path.c_str());
        },
        ExitedWithCode(1), "^Error: VLV value was too long\n$");
}

TEST(ReaderMessagesDeath, FiveContinuedMetaLengthBytes) {
    const std::string path = writetemp(
        concat({header(0, 1, 96), chunk(bytes({0x00, 0xff, 0x01, 0x80, 0x80, 0x80, 0x80, 0x80}))}));
    EXPECT_EXIT(
        {
            onlystdout();
            MidiFile score(path.c_str());
        },
        ExitedWithCode(1), "^Error: VLV value was too long\n$");
}

TEST(ReaderMessages, ExtractMetaEventKeepsLengthBytes) {
    const Bytes payload(128, 'm');
    const std::string full = writetemp(concat({bytes({0xff, 0x06, 0x81, 0x00}), payload}));
    FileIO in(full.c_str(), static_cast<unsigned int>(std::ios::in | std::ios::binary));
    Array<unsigned char> data;
    unsigned char running = 0;
    MidiFile::extractMidiData(in, data, running);
    EXPECT_EQ(of(data), concat({bytes({0xff, 0x06, 0x81, 0x00}), payload}));
    EXPECT_EQ(running, 0xff);
}

} // namespace
