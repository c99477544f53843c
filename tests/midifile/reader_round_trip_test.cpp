// Scores written by the writer and read back by the reader: the same events
// at the same absolute ticks, plus the end-of-track event the writer adds,
// and the same bytes when written again.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

TEST(ReaderRoundTrip, EmptyScore) {
    MidiFile score;
    MidiFile back;
    EXPECT_EQ(readcaptured(back, writetemp(written(score))).status, 1);
    EXPECT_EQ(back.getTrackCount(), 1);
    EXPECT_EQ(back.getTicksPerQuarterNote(), 48);
    EXPECT_EQ(back.getTimeState(), 1);
    EXPECT_EQ(eventsof(back, 0), (std::vector<Ev>{{0, endoftrack}}));
}

TEST(ReaderRoundTrip, NoteTrack) {
    MidiFile score;
    score.absoluteTime();
    score.addEvent(0, 0, bytearray({0x90, 0x3c, 0x41}));
    score.addEvent(0, 200, bytearray({0x80, 0x3c, 0x41}));
    MidiFile back;
    EXPECT_EQ(readcaptured(back, writetemp(written(score))).status, 1);
    EXPECT_EQ(eventsof(back, 0), (std::vector<Ev>{{0, bytes({0x90, 0x3c, 0x41})},
                                                  {200, bytes({0x80, 0x3c, 0x41})},
                                                  {200, endoftrack}}));
}

TEST(ReaderRoundTrip, SixteenEmptyTracks) {
    MidiFile score;
    score.addTrack(15);
    MidiFile back;
    EXPECT_EQ(readcaptured(back, writetemp(written(score))).status, 1);
    ASSERT_EQ(back.getTrackCount(), 16);
    for (int t = 0; t < 16; t++) {
        EXPECT_EQ(eventsof(back, t), (std::vector<Ev>{{0, endoftrack}})) << t;
        EXPECT_EQ(back.getTrack(t, 0), t);
    }
}

// A score shaped like the player's output: a tempo and text track, then
// note tracks with programs, sorted before writing.
TEST(ReaderRoundTrip, SixteenTrackOrganScore) {
    MidiFile score;
    score.setTicksPerQuarterNote(192);
    score.addTrack(15);
    score.absoluteTime();
    score.addMetaEvent(0, 0, 0x51, bytearray({0x0a, 0x2c, 0x2a}));
    score.addMetaEvent(0, 0, 0x01, std::string(300, 'd').c_str());
    const char* names[] = {"Pedal", "Swell", "Great"};
    for (int t = 1; t <= 3; t++) {
        score.addMetaEvent(t, 0, 0x03, names[t - 1]);
        score.addEvent(t, 0, bytearray({0xc0 | (t - 1), t * 7}));
        for (int k = 0; k < 30; k++) {
            const int start = k * 96 + t;
            score.addEvent(t, start + 90, bytearray({0x80 | (t - 1), 36 + k, 65}));
            score.addEvent(t, start, bytearray({0x90 | (t - 1), 36 + k, 65}));
        }
    }
    score.sortTracks();
    const Bytes first = written(score);
    MidiFile back;
    EXPECT_EQ(readcaptured(back, writetemp(first)).status, 1);
    ASSERT_EQ(back.getTrackCount(), 16);
    EXPECT_EQ(back.getTicksPerQuarterNote(), 192);
    for (int t = 0; t < 16; t++) {
        std::vector<Ev> expected = eventsof(score, t);
        const int last = expected.empty() ? 0 : expected.back().tick;
        expected.push_back({last, endoftrack});
        EXPECT_EQ(eventsof(back, t), expected) << "track " << t;
    }
    // Written again, the score read back gives the same bytes.
    EXPECT_EQ(written(back), first);
}

TEST(ReaderRoundTrip, FiveByteDeltaSurvives) {
    MidiFile score;
    score.absoluteTime();
    score.addEvent(0, 0x20000000, bytearray({0xc0, 1}));
    MidiFile back;
    EXPECT_EQ(readcaptured(back, writetemp(written(score))).status, 1);
    EXPECT_EQ(eventsof(back, 0),
              (std::vector<Ev>{{0x20000000, bytes({0xc0, 1})}, {0x20000000, endoftrack}}));
}

TEST(ReaderRoundTrip, NamedFileFormWritesWhatTheReaderReads) {
    MidiFile score;
    score.absoluteTime();
    score.addMetaEvent(0, 0, 0x02, "(c) 1925");
    score.addEvent(0, 48, bytearray({0xb0, 7, 100}));
    const std::string path = writetemp({}, "named.mid");
    score.write(path.c_str());
    MidiFile back(path.c_str());
    EXPECT_EQ(
        eventsof(back, 0),
        (std::vector<Ev>{{0, bytes({0xff, 0x02, 0x08, '(', 'c', ')', ' ', '1', '9', '2', '5'})},
                         {48, bytes({0xb0, 7, 100})},
                         {48, endoftrack}}));
}

} // namespace
