// Merging one track into another and deleting a track: the table closes up
// and the time state is kept.
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "../support/bytes.h"
#include "MidiFile.h"

namespace {

// (time, track, key) of each event of a track; every event here is a note.
std::vector<std::vector<int>> notesOf(MidiFile& score, int track) {
    std::vector<std::vector<int>> out;
    for (int i = 0; i < score.getNumEvents(track); i++) {
        MFEvent& e = score.getEvent(track, i);
        out.push_back({e.time, e.track, e.data[0], e.data[1]});
    }
    return out;
}

// Three tracks in delta ticks: track t holds notes whose key is 10 t + n.
void buildThreeTracks(MidiFile& score) {
    score.addTrack(2);
    score.addEvent(0, 10, bytearray({0x90, 1, 64}));
    score.addEvent(0, 20, bytearray({0x80, 1, 0}));
    score.addEvent(1, 5, bytearray({0x90, 11, 64}));
    score.addEvent(1, 25, bytearray({0x80, 11, 0}));
    score.addEvent(2, 0, bytearray({0x90, 21, 64}));
}

} // namespace

TEST(TracksMerge, SecondTrackMovesIntoTheFirst) {
    MidiFile score;
    buildThreeTracks(score);
    score.mergeTracks(0, 1);
    EXPECT_EQ(score.getTrackCount(), 2);
    EXPECT_EQ(score.getTimeState(), 0);
    EXPECT_EQ(score.getTrackState(), 0);
    // Absolute 5, 10, 30, 30: at 30 the note-off of key 11 is not moved ahead
    // of the note-off of key 1 (a tie keeps the first track first).
    EXPECT_EQ(notesOf(score, 0),
              (std::vector<std::vector<int>>{
                  {5, 0, 0x90, 11}, {5, 0, 0x90, 1}, {20, 0, 0x80, 1}, {0, 0, 0x80, 11}}));
    EXPECT_EQ(notesOf(score, 1), (std::vector<std::vector<int>>{{0, 2, 0x90, 21}}));
}

TEST(TracksMerge, LowerSecondTrackShiftsTheMergedOneDown) {
    MidiFile score;
    buildThreeTracks(score);
    score.absoluteTime();
    score.mergeTracks(2, 0);
    EXPECT_EQ(score.getTrackCount(), 2);
    EXPECT_EQ(score.getTimeState(), 1);
    EXPECT_EQ(notesOf(score, 0),
              (std::vector<std::vector<int>>{{5, 1, 0x90, 11}, {30, 1, 0x80, 11}}));
    EXPECT_EQ(notesOf(score, 1), (std::vector<std::vector<int>>{
                                     {0, 2, 0x90, 21}, {10, 2, 0x90, 1}, {30, 2, 0x80, 1}}));
}

TEST(TracksMerge, NoteOffBeforeNoteOnAtOneTick) {
    MidiFile score;
    score.absoluteTime();
    score.addTrack();
    score.addEvent(0, 7, bytearray({0x90, 1, 64}));
    score.addEvent(1, 7, bytearray({0x80, 2, 0}));
    score.mergeTracks(0, 1);
    EXPECT_EQ(notesOf(score, 0), (std::vector<std::vector<int>>{{7, 0, 0x80, 2}, {7, 0, 0x90, 1}}));
}

TEST(TracksMerge, TrackWithItselfIsLeftAsItIs) {
    MidiFile score;
    buildThreeTracks(score);
    const auto before = notesOf(score, 1);
    score.mergeTracks(1, 1);
    EXPECT_EQ(score.getTrackCount(), 3);
    EXPECT_EQ(notesOf(score, 1), before);
    EXPECT_EQ(score.getTimeState(), 0);
}

TEST(TracksMergeDeathTest, TrackOutsideTheTableEndsWithIndexMessage) {
    MidiFile score;
    buildThreeTracks(score);
    EXPECT_EXIT(score.mergeTracks(0, 3), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 3 Maximum is 2\n");
    EXPECT_EXIT(score.mergeTracks(-1, 0), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location -1 Maximum is 2\n");
    EXPECT_EXIT(score.mergeTracks(7, 7), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 7 Maximum is 2\n");
}

TEST(TracksDelete, RemovesOneTrackAndClosesTheGap) {
    MidiFile score;
    buildThreeTracks(score);
    score.deleteTrack(0);
    EXPECT_EQ(score.getTrackCount(), 2);
    // Track numbers are not renumbered.
    EXPECT_EQ(notesOf(score, 0),
              (std::vector<std::vector<int>>{{5, 1, 0x90, 11}, {25, 1, 0x80, 11}}));
    EXPECT_EQ(notesOf(score, 1), (std::vector<std::vector<int>>{{0, 2, 0x90, 21}}));
    score.deleteTrack(1);
    EXPECT_EQ(score.getTrackCount(), 1);
    EXPECT_EQ(score.getNumEvents(0), 2);
}

TEST(TracksDelete, InvalidNumbersAndTheLastTrackAreIgnored) {
    MidiFile single;
    single.addEvent(0, 0, bytearray({0x90, 1, 1}));
    single.deleteTrack(0);
    EXPECT_EQ(single.getTrackCount(), 1);
    EXPECT_EQ(single.getNumEvents(0), 1);

    MidiFile score;
    buildThreeTracks(score);
    score.deleteTrack(5);
    score.deleteTrack(3);
    score.deleteTrack(-1);
    EXPECT_EQ(score.getTrackCount(), 3);
    EXPECT_EQ(score.getNumEvents(2), 1);
}
