// Joining all tracks into one sorted list and splitting it back by track
// number; the time state survives both.
#include <climits>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "MidiFile.h"

namespace {

struct Seen {
    int time;
    int track;
    std::vector<int> bytes;
    bool operator==(const Seen& o) const {
        return time == o.time && track == o.track && bytes == o.bytes;
    }
};

void PrintTo(const Seen& s, std::ostream* os) {
    *os << "{" << s.time << ", track " << s.track << ",";
    for (int b : s.bytes) {
        *os << " " << b;
    }
    *os << "}";
}

std::vector<Seen> trackOf(MidiFile& score, int track) {
    std::vector<Seen> out;
    for (int i = 0; i < score.getNumEvents(track); i++) {
        MFEvent& e = score.getEvent(track, i);
        Seen s{e.time, e.track, {}};
        for (int64_t j = 0; j < e.data.getSize(); j++) {
            s.bytes.push_back(e.data[static_cast<int>(j)]);
        }
        out.push_back(s);
    }
    return out;
}

const std::vector<int> kTempo = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
const std::vector<int> kEnd = {0xFF, 0x2F, 0x00};
const std::vector<int> kOn60 = {0x90, 60, 64};
const std::vector<int> kOff60 = {0x80, 60, 0};
const std::vector<int> kOn62 = {0x91, 62, 64};
const std::vector<int> kBend = {0xE1, 0, 64};
const std::vector<int> kOff62 = {0x81, 62, 0};

// Three tracks in delta ticks. Absolute times: track 0 tempo 0, end 200;
// track 1 note 60 from 0 to 96; track 2 note 62 at 48 with a bend at 48 stored
// after it, off at 96.
void buildThreeTracks(MidiFile& score) {
    score.addTrack(2);
    score.addMetaEvent(0, 0, 0x51, bytearray({0x07, 0xA1, 0x20}));
    score.addMetaEvent(0, 200, 0x2F, bytearray({}));
    score.addEvent(1, 0, bytearray({0x90, 60, 64}));
    score.addEvent(1, 96, bytearray({0x80, 60, 0}));
    score.addEvent(2, 48, bytearray({0x91, 62, 64}));
    score.addEvent(2, 0, bytearray({0xE1, 0, 64}));
    score.addEvent(2, 48, bytearray({0x81, 62, 0}));
}

} // namespace

TEST(TracksJoin, OneTrackScoreIsLeftAsItIs) {
    MidiFile score;
    // Out of the sort order on purpose: the note-on before the note-off.
    score.addEvent(0, 5, bytearray({0x90, 60, 64}));
    score.addEvent(0, 0, bytearray({0x80, 60, 0}));
    const std::vector<Seen> before = trackOf(score, 0);
    score.joinTracks();
    EXPECT_EQ(score.getTrackState(), 0);
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(trackOf(score, 0), before);
}

TEST(TracksJoin, ThreeTracksBecomeOneSortedListInDeltaTicks) {
    MidiFile score;
    buildThreeTracks(score);
    score.joinTracks();
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getTrackState(), 1);
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(score.getTrackCountAsType1(), 3);
    const std::vector<Seen> expected = {
        {0, 1, kOn60},   {0, 0, kTempo}, {48, 2, kBend}, {0, 2, kOn62},
        {48, 1, kOff60}, {0, 2, kOff62}, {104, 0, kEnd},
    };
    EXPECT_EQ(trackOf(score, 0), expected);

    // Joining again changes nothing.
    score.joinTracks();
    EXPECT_EQ(trackOf(score, 0), expected);
}

TEST(TracksJoin, SplitRestoresTracksInTimeOrder) {
    MidiFile score;
    buildThreeTracks(score);
    score.joinTracks();
    score.splitTracks();
    EXPECT_EQ(score.getTrackCount(), 3);
    EXPECT_EQ(score.getTrackState(), 0);
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(trackOf(score, 0), (std::vector<Seen>{{0, 0, kTempo}, {200, 0, kEnd}}));
    EXPECT_EQ(trackOf(score, 1), (std::vector<Seen>{{0, 1, kOn60}, {96, 1, kOff60}}));
    // The bend now comes before the note-on of its tick.
    EXPECT_EQ(trackOf(score, 2),
              (std::vector<Seen>{{48, 2, kBend}, {0, 2, kOn62}, {48, 2, kOff62}}));
    // Split lists grow on indexing one past the end again.
    score.getEvent(2, 3);
    EXPECT_EQ(score.getNumEvents(2), 4);
}

TEST(TracksJoin, AbsoluteScoreStaysAbsolute) {
    MidiFile score;
    buildThreeTracks(score);
    score.absoluteTime();
    score.joinTracks();
    EXPECT_EQ(score.getTimeState(), 1);
    const std::vector<Seen> expected = {
        {0, 1, kOn60},   {0, 0, kTempo},  {48, 2, kBend}, {48, 2, kOn62},
        {96, 1, kOff60}, {96, 2, kOff62}, {200, 0, kEnd},
    };
    EXPECT_EQ(trackOf(score, 0), expected);
    score.splitTracks();
    EXPECT_EQ(score.getTimeState(), 1);
    EXPECT_EQ(trackOf(score, 1), (std::vector<Seen>{{0, 1, kOn60}, {96, 1, kOff60}}));
}

TEST(TracksSplit, SplitScoreIsLeftAsItIs) {
    MidiFile score;
    buildThreeTracks(score);
    // After deleting track 0 the lists hold track numbers 1 and 2; a split
    // that ran anyway would move them.
    score.deleteTrack(0);
    score.splitTracks();
    EXPECT_EQ(score.getTrackCount(), 2);
    EXPECT_EQ(score.getTrackState(), 0);
    EXPECT_EQ(trackOf(score, 0), (std::vector<Seen>{{0, 1, kOn60}, {96, 1, kOff60}}));
}

TEST(TracksSplit, TrackCountComesFromTheHighestTrackNumber) {
    MidiFile score;
    score.addTrack(3);
    score.addEvent(1, 10, bytearray({0x90, 1, 1}));
    score.joinTracks();
    score.splitTracks();
    // Tracks 2 and 3 held nothing, so they are not rebuilt.
    EXPECT_EQ(score.getTrackCount(), 2);
    EXPECT_EQ(score.getNumEvents(0), 0);
    EXPECT_EQ(trackOf(score, 1), (std::vector<Seen>{{10, 1, {0x90, 1, 1}}}));

    MidiFile empty;
    empty.addTrack(2);
    empty.joinTracks();
    EXPECT_EQ(empty.getTrackCountAsType1(), 1);
    empty.splitTracks();
    EXPECT_EQ(empty.getTrackCount(), 1);
    EXPECT_EQ(empty.getNumEvents(0), 0);
}

TEST(TracksSplit, HighestAcceptedTrackNumberIs65535) {
    MidiFile score;
    score.addTrack();
    score.joinTracks();
    MFEvent far(5, 65535, bytearray({0x90, 1, 1}));
    score.addEvent(far);
    score.splitTracks();
    EXPECT_EQ(score.getTrackCount(), 65536);
    EXPECT_EQ(trackOf(score, 65535), (std::vector<Seen>{{5, 65535, {0x90, 1, 1}}}));
}

TEST(TracksSplitDeathTest, NegativeTrackNumberEndsWithIndexMessage) {
    MidiFile score;
    score.addTrack(2);
    score.addEvent(2, 0, bytearray({0x90, 1, 1}));
    score.joinTracks();
    MFEvent negative(0, -1, bytearray({0x80, 1, 1}));
    score.addEvent(negative);
    EXPECT_EXIT(score.splitTracks(), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location -1 Maximum is 2\n");
}

// One list per number up to INT_MAX would never fit; such a number is refused.
TEST(TracksSplitDeathTest, HugeTrackNumberIsRefused) {
    MidiFile score;
    score.addTrack();
    score.joinTracks();
    MFEvent huge(0, INT_MAX, bytearray({0x80, 1, 1}));
    score.addEvent(huge);
    EXPECT_EXIT(score.splitTracks(), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 2147483647 Maximum is 65535\n");
    MFEvent above(0, 65536, bytearray({0x80, 1, 1}));
    score.addEvent(above);
    EXPECT_EXIT(score.splitTracks(), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 2147483647 Maximum is 65535\n");
}

TEST(TracksJoin, JoiningInvalidatesTheTempoMap) {
    MidiFile score;
    score.setTicksPerQuarterNote(96);
    score.absoluteTime();
    score.addTrack();
    score.addEvent(0, 0, bytearray({0x90, 1, 1}));
    score.addEvent(1, 96, bytearray({0x80, 1, 1}));
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(96), 0.5);
    // Edited in place: the map is still trusted until something invalidates it.
    score.getEvent(1, 0).time = 48;
    score.joinTracks();
    EXPECT_DOUBLE_EQ(score.getTimeInSeconds(48), 0.25);
}
