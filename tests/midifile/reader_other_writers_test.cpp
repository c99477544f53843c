// Files in the styles other programs write, built byte by byte: running
// status with velocity-0 note-offs, conductor tracks full of meta events,
// system exclusive with its length, SMPTE time, lyrics with long lengths.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

// Format 0 as sequencers save a single performance: one status byte per run
// of notes, note-offs as note-ons of velocity 0.
TEST(ReaderOtherWriters, FormatZeroRunningStatusPerformance) {
    const Bytes body = bytes({0x00, 0xff, 0x51, 0x03, 0x06, 0x1a, 0x80,       // tempo
                              0x00, 0xff, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08, // 3/4
                              0x00, 0xc0, 0x13,                               // organ
                              0x00, 0x90, 0x30, 0x50,                         // C3 on
                              0x00, 0x37, 0x50,                               // G3 on
                              0x83, 0x60, 0x30, 0x00,                         // C3 off
                              0x00, 0x37, 0x00,                               // G3 off
                              0x00, 0xff, 0x2f, 0x00});
    const std::string path = writetemp(concat({header(0, 1, 480), chunk(body)}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(score.getTicksPerQuarterNote(), 480);
    EXPECT_EQ(eventsof(score, 0),
              (std::vector<Ev>{{0, bytes({0xff, 0x51, 0x03, 0x06, 0x1a, 0x80})},
                               {0, bytes({0xff, 0x58, 0x04, 0x03, 0x02, 0x18, 0x08})},
                               {0, bytes({0xc0, 0x13})},
                               {0, bytes({0x90, 0x30, 0x50})},
                               {0, bytes({0x90, 0x37, 0x50})},
                               {480, bytes({0x90, 0x30, 0x00})},
                               {480, bytes({0x90, 0x37, 0x00})},
                               {480, endoftrack}}));
}

// Format 1 with a conductor track and instrument tracks, a system exclusive
// reset carrying its length, bends and controllers.
TEST(ReaderOtherWriters, FormatOneConductorAndInstruments) {
    const Bytes conductor = concat(
        {bytes({0x00, 0xff, 0x03, 0x04}), text("Song"), bytes({0x00, 0xff, 0x02, 0x06}),
         text("(c) Me"), bytes({0x00, 0xff, 0x59, 0x02, 0x01, 0x00}),
         bytes({0x00, 0xff, 0x51, 0x03, 0x07, 0xa1, 0x20}), bytes({0x87, 0x40, 0xff, 0x06, 0x05}),
         text("Verse"), bytes({0x00, 0xff, 0x2f, 0x00})});
    const Bytes swell = concat(
        {bytes({0x00, 0xf0, 0x05, 0x7e, 0x7f, 0x09, 0x01, 0xf7}), bytes({0x00, 0xff, 0x03, 0x05}),
         text("Swell"), bytes({0x00, 0xb1, 0x07, 0x64, 0x00, 0x0a, 0x40}),
         bytes({0x00, 0xc1, 0x44}), bytes({0x60, 0x91, 0x48, 0x40, 0x30, 0xe1, 0x00, 0x50}),
         bytes({0x30, 0x00, 0x40, 0x30, 0x81, 0x48, 0x40}), bytes({0x00, 0xff, 0x2f, 0x00})});
    const std::string path = writetemp(concat({header(1, 2, 96), chunk(conductor), chunk(swell)}));
    MidiFile score(path.c_str());
    ASSERT_EQ(score.getTrackCount(), 2);
    EXPECT_EQ(eventsof(score, 0),
              (std::vector<Ev>{{0, concat({bytes({0xff, 0x03, 0x04}), text("Song")})},
                               {0, concat({bytes({0xff, 0x02, 0x06}), text("(c) Me")})},
                               {0, bytes({0xff, 0x59, 0x02, 0x01, 0x00})},
                               {0, bytes({0xff, 0x51, 0x03, 0x07, 0xa1, 0x20})},
                               {960, concat({bytes({0xff, 0x06, 0x05}), text("Verse")})},
                               {960, endoftrack}}));
    EXPECT_EQ(eventsof(score, 1),
              (std::vector<Ev>{{0, bytes({0xf0})},
                               {0, concat({bytes({0xff, 0x03, 0x05}), text("Swell")})},
                               {0, bytes({0xb1, 0x07, 0x64})},
                               {0, bytes({0xb1, 0x0a, 0x40})},
                               {0, bytes({0xc1, 0x44})},
                               {96, bytes({0x91, 0x48, 0x40})},
                               {144, bytes({0xe1, 0x00, 0x50})},
                               {192, bytes({0xe1, 0x00, 0x40})},
                               {240, bytes({0x81, 0x48, 0x40})},
                               {240, endoftrack}}));
    EXPECT_EQ(score.getTrack(1, 3), 1);
}

// SMPTE time as film and video tools write it: 30 frames of 80 ticks.
TEST(ReaderOtherWriters, SmpteDivision) {
    const std::string path = writetemp(concat(
        {header(0, 1, 0xe250),
         chunk(bytes({0x00, 0x90, 60, 100, 0x82, 0x58, 0x80, 60, 0, 0x00, 0xff, 0x2f, 0x00}))}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(score.getTicksPerQuarterNote(), 2400);
    EXPECT_EQ(r.out, "SMPTE ticks: 2400 tpq\nSMPTE frames per second: 30\n"
                     "SMPTE frame resolution: 80\n");
    EXPECT_EQ(eventsof(score, 0),
              (std::vector<Ev>{
                  {0, bytes({0x90, 60, 100})}, {344, bytes({0x80, 60, 0})}, {344, endoftrack}}));
}

// Karaoke-style lyrics and long descriptions: lengths of two and three bytes.
TEST(ReaderOtherWriters, LongTexts) {
    const std::string description(1000, 'e');
    const std::string notes(20000, 'n');
    const Bytes one = concat({bytes({0xff, 0x01, 0x87, 0x68}), text(description)});
    const Bytes two = concat({bytes({0xff, 0x05, 0x81, 0x9c, 0x20}), text(notes)});
    const std::string path =
        writetemp(concat({header(0, 1, 96), chunk(concat({bytes({0x00}), one, bytes({0x10}), two,
                                                          bytes({0x00, 0xff, 0x2f, 0x00})}))}));
    MidiFile score(path.c_str());
    EXPECT_EQ(eventsof(score, 0), (std::vector<Ev>{{0, one}, {16, two}, {16, endoftrack}}));
}

// Several tracks, one of them empty but for its end, another ending without
// an end-of-track event at the end of the file.
TEST(ReaderOtherWriters, SeveralTracksLastWithoutEnd) {
    const std::string path =
        writetemp(concat({header(1, 3, 96), chunk(bytes({0x00, 0xff, 0x2f, 0x00})),
                          chunk(bytes({0x00, 0xc2, 0x10, 0x00, 0xff, 0x2f, 0x00})),
                          chunk(bytes({0x00, 0x92, 60, 64, 0x40, 0x82, 60, 64}))}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(score.getTrackCount(), 3);
    EXPECT_EQ(eventsof(score, 0), (std::vector<Ev>{{0, endoftrack}}));
    EXPECT_EQ(eventsof(score, 1), (std::vector<Ev>{{0, bytes({0xc2, 0x10})}, {0, endoftrack}}));
    EXPECT_EQ(eventsof(score, 2),
              (std::vector<Ev>{{0, bytes({0x92, 60, 64})}, {64, bytes({0x82, 60, 64})}}));
}

} // namespace
