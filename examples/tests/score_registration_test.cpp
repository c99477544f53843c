// Registration changes land in a breath before their bar, in the order the
// player needs; lifts, merging and the shortest note are checked at the end.
#include <gtest/gtest.h>

#include <sstream>

#include "score.h"

namespace {

bool build(const std::string& text, Score& score, std::string& error) {
    std::istringstream in(text);
    return parseScore(in, score, error) && finishScore(score, error);
}

Score built(const std::string& text) {
    Score score;
    std::string error;
    EXPECT_TRUE(build(text, score, error)) << error;
    return score;
}

const HoleSpan* find(const Score& s, int hole, long start) {
    for (const HoleSpan& h : s.holes) {
        if (h.hole == hole && h.start == start) {
            return &h;
        }
    }
    return nullptr;
}

TEST(ScoreRegistration, PlainPunchesStopThenTwoShadeHoles) {
    // Bar 2 is tick 768; the breath of 0.25 beats is 48 ticks.
    const Score s = built("plain 2:1 3 close\nplain 3:1 6\n");
    ASSERT_EQ(s.holes.size(), 6u);
    const HoleSpan* stop = find(s, 3, 720);
    const HoleSpan* first = find(s, 123, 736);
    const HoleSpan* second = find(s, 123, 752);
    ASSERT_TRUE(stop && first && second);
    EXPECT_LT(stop->end, first->end);
    EXPECT_LT(first->end, second->end);
    EXPECT_LE(second->end, 768);
    EXPECT_FALSE(stop->note);
    // Stop control 6 is hole 125; shade holes open by default.
    EXPECT_TRUE(find(s, 125, 1488));
    EXPECT_TRUE(find(s, 124, 1504));
    EXPECT_TRUE(find(s, 124, 1520));
}

TEST(ScoreRegistration, TogetherPunchesShadePairThenStop) {
    const Score s = built("tempo 60\ntogether 2:1 5\n");
    const HoleSpan* close = find(s, 123, 720);
    const HoleSpan* open = find(s, 124, 736);
    const HoleSpan* stop = find(s, 5, 752);
    ASSERT_TRUE(close && open && stop);
    // Less than 0.3 s between the two shade openings at 60 beats a minute.
    EXPECT_LT((open->start - close->start) / 192.0, 0.3);
    EXPECT_LT(open->end, stop->end);
}

TEST(ScoreRegistration, ChangeLiftsNotesThatEndAtItsBar) {
    const Score s = built("pedal 1:1 C2/4 D2/4\ngreat 1:3 C4/4\nplain 2:1 1\n");
    const HoleSpan* before = find(s, 6, 0);
    const HoleSpan* held = find(s, 54, 384);
    ASSERT_TRUE(before && held);
    EXPECT_EQ(before->end, 720); // cut to the breath
    EXPECT_EQ(held->end, 1140);  // crosses the bar: left alone
    EXPECT_EQ(find(s, 10, 768)->end, 1524);
}

TEST(ScoreRegistration, NoteStartingInsideALiftIsRefused) {
    Score s;
    std::string error;
    EXPECT_FALSE(build("great 1:4.875 C4/0.125\nlift 2:1\n", s, error));
    EXPECT_EQ(error, "line 1: a note starts inside the lift of line 2");
}

TEST(ScoreRegistration, ChangeNeedsRoomBeforeIt) {
    Score s;
    std::string error;
    EXPECT_FALSE(build("plain 1:1 1\n", s, error));
    EXPECT_EQ(error, "line 1: no room for a registration change (breath too short or too early)");
}

TEST(ScoreRegistration, OverlappingNotesOnOneHoleMerge) {
    const Score s = built("swell 1:1 C4/2\nswell 1:2 C4/2\nswell 1:4 C4/1\n");
    ASSERT_EQ(s.holes.size(), 2u);
    EXPECT_EQ(s.holes[0].start, 0);
    EXPECT_EQ(s.holes[0].end, 564); // the first two overlap
    EXPECT_EQ(s.holes[1].start, 576);
}

TEST(ScoreRegistration, NoteTooShortToSoundIsRefused) {
    Score s;
    std::string error;
    // 1 tick at 192 ticks a beat and 200 beats a minute is 1.6 ms.
    EXPECT_FALSE(build("tempo 200\nrelease 0\ngreat 1:1 C4/0.005\n", s, error));
    EXPECT_EQ(error, "line 3: a note of hole 54 lasts less than 0.01 s and would not sound");
}

TEST(ScoreRegistration, RollTooLongForAMidiFileIsRefused) {
    Score s;
    std::string error;
    // 100000 bars of 32767 beats at 32767 ticks a beat.
    EXPECT_FALSE(build("tpq 32767\nmeter 32767\npedal 100000:1 C2/1\n", s, error));
    EXPECT_EQ(error, "line 3: the roll would be longer than a MIDI file can hold");
}

} // namespace
