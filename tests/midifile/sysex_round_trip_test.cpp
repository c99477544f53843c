// System messages through read, write and read again. The reader keeps a
// system exclusive message as F0 alone; the writer must turn that back into a
// message that ends, or the rest of the track (and every later chunk) is lost.
// Under a running system status the reader keeps the status byte alone, since
// a data byte after it would be written back where a delta time is read.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/cases.h"
#include "../support/events.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

const Bytes kGmReset = bytes({0xf0, 0x05, 0x7e, 0x7f, 0x09, 0x01, 0xf7});
const Bytes kF0 = bytes({0xf0});

struct Case {
    const char* name;
    Bytes file;
    // The events of each track as the first read stores them.
    std::vector<std::vector<Ev>> tracks;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const Case kCases[] = {
    {"BetweenRunningStatusNotes",
     concat({header(0, 1, 96),
             chunk(concat({bytes({0x00, 0x90, 60, 64, 0x00, 64, 64, 0x10}), kGmReset,
                           bytes({0x00, 0x90, 60, 0, 0x00, 64, 0}), endoftrackdelta}))}),
     {{{0, bytes({0x90, 60, 64})},
       {0, bytes({0x90, 64, 64})},
       {16, kF0},
       {16, bytes({0x90, 60, 0})},
       {16, bytes({0x90, 64, 0})},
       {16, endoftrack}}}},
    {"AtTheEndOfATrack",
     concat({header(0, 1, 96),
             chunk(concat({bytes({0x00, 0xc0, 19, 0x20}), kGmReset, endoftrackdelta}))}),
     {{{0, bytes({0xc0, 19})}, {32, kF0}, {32, endoftrack}}}},
    // A sequencer's file: the reset in the conductor track, notes after it.
    {"MultiTrack",
     concat({header(1, 3, 96),
             chunk(concat({bytes({0x00}), kGmReset,
                           bytes({0x00, 0xff, 0x51, 0x03, 0x07, 0xa1, 0x20}), endoftrackdelta})),
             chunk(concat({bytes({0x00, 0x91, 48, 80, 0x60, 0x81, 48, 0}), endoftrackdelta})),
             chunk(concat({bytes({0x08}), kGmReset, bytes({0x00, 0xc2, 5}), endoftrackdelta}))}),
     {{{0, kF0}, {0, bytes({0xff, 0x51, 0x03, 0x07, 0xa1, 0x20})}, {0, endoftrack}},
      {{0, bytes({0x91, 48, 80})}, {96, bytes({0x81, 48, 0})}, {96, endoftrack}},
      {{8, kF0}, {8, bytes({0xc2, 5})}, {8, endoftrack}}}},
    // No F7 and no end-of-track event: the message ends with the file.
    {"RunningToTheEndOfTheFile",
     concat({header(0, 1, 96), chunk(bytes({0x00, 0xc0, 1, 0x05, 0xf0, 0x05, 0x7e, 0x7f}))}),
     {{{0, bytes({0xc0, 1})}, {5, kF0}}}},
    // An escape: F7, its length, its bytes. Here F7 is one byte, the length a
    // delta time, and each data byte runs under F7's status.
    {"LoneEscape",
     concat({header(0, 1, 96), chunk(concat({bytes({0x00, 0x90, 60, 64, 0x00, 0xf7, 0x03, 0x01,
                                                    0x02, 0x03, 0x10, 0x80, 60, 0}),
                                             endoftrackdelta}))}),
     {{{0, bytes({0x90, 60, 64})},
       {0, bytes({0xf7})},
       {3, bytes({0xf7})},
       {5, bytes({0xf7})},
       {21, bytes({0x80, 60, 0})},
       {21, endoftrack}}}},
    {"DataByteAfterAClock",
     concat({header(0, 1, 96),
             chunk(concat({bytes({0x00, 0xc0, 5, 0x00, 0xf8, 0x04, 0x12, 0x00, 0x90, 60, 64}),
                           endoftrackdelta}))}),
     {{{0, bytes({0xc0, 5})},
       {0, bytes({0xf8})},
       {4, bytes({0xf8})},
       {4, bytes({0x90, 60, 64})},
       {4, endoftrack}}}},
    {"DataByteAfterASystemExclusive",
     concat({header(0, 1, 96),
             chunk(concat({bytes({0x00}), kGmReset, bytes({0x02, 0x10, 0x20, 0xf7, 0x00, 0xc0, 5}),
                           endoftrackdelta}))}),
     {{{0, kF0}, {2, kF0}, {2, bytes({0xc0, 5})}, {2, endoftrack}}}},
};

class SysexRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(SysexRoundTrip, ReadsWritesAndReadsBackEveryEvent) {
    const Case& c = GetParam();
    MidiFile first;
    const auto r = readcaptured(first, writetemp(c.file));
    ASSERT_EQ(r.status, 1) << r.out;
    ASSERT_EQ(first.getTrackCount(), static_cast<int>(c.tracks.size()));
    for (int t = 0; t < first.getTrackCount(); t++) {
        EXPECT_EQ(eventsof(first, t), c.tracks[t]) << "first read, track " << t;
    }

    const Bytes out = written(first);
    MidiFile back;
    const auto rb = readcaptured(back, writetemp(out));
    ASSERT_EQ(rb.status, 1) << rb.out;
    EXPECT_EQ(rb.out, "");
    ASSERT_EQ(back.getTrackCount(), first.getTrackCount());
    for (int t = 0; t < back.getTrackCount(); t++) {
        // The writer ends every track; nothing else may change.
        std::vector<Ev> expected = c.tracks[t];
        if (expected.back().bytes != EventBytes(endoftrack)) {
            expected.push_back({expected.back().tick, endoftrack});
        }
        EXPECT_EQ(eventsof(back, t), expected) << "read back, track " << t;
    }
    EXPECT_EQ(written(back), out);
}

INSTANTIATE_TEST_SUITE_P(Files, SysexRoundTrip, ::testing::ValuesIn(kCases), CaseName());

} // namespace
