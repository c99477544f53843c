// Notes, chords, rests and phrases become the right holes at the right ticks.
#include <gtest/gtest.h>

#include <sstream>

#include "score.h"

namespace {

Score parse(const std::string& text) {
    Score score;
    std::string error;
    std::istringstream in(text);
    EXPECT_TRUE(parseScore(in, score, error)) << error;
    return score;
}

std::string failure(const std::string& text) {
    Score score;
    std::string error;
    std::istringstream in(text);
    EXPECT_FALSE(parseScore(in, score, error));
    return error;
}

TEST(ScoreNotes, PitchNames) {
    EXPECT_EQ(parsePitch("C4"), 60);
    EXPECT_EQ(parsePitch("A4"), 69);
    EXPECT_EQ(parsePitch("C#5"), 73);
    EXPECT_EQ(parsePitch("Bb3"), 58);
    EXPECT_EQ(parsePitch("C-1"), 0);
    EXPECT_EQ(parsePitch("G9"), 127);
    EXPECT_EQ(parsePitch("G#9"), -1);
    EXPECT_EQ(parsePitch("H4"), -1);
    EXPECT_EQ(parsePitch("C"), -1);
    EXPECT_EQ(parsePitch("C#x"), -1);
}

TEST(ScoreNotes, DivisionCompassesAndHoles) {
    EXPECT_EQ(holeFor("pedal", 36), 6);
    EXPECT_EQ(holeFor("pedal", 47), 28);
    EXPECT_EQ(holeFor("pedal", 48), 0);
    EXPECT_EQ(holeFor("swell", 36), 7);
    EXPECT_EQ(holeFor("swell", 92), 119);
    EXPECT_EQ(holeFor("swell", 93), 0);
    EXPECT_EQ(holeFor("great", 47), 0);
    EXPECT_EQ(holeFor("great", 48), 30);
    EXPECT_EQ(holeFor("great", 93), 120);
    EXPECT_EQ(holeFor("choir", 60), 0);
}

TEST(ScoreNotes, NotesFollowOneAnotherAndCloseEarly) {
    const Score s = parse("great 2:1 C4/1 D4/0.5\n");
    ASSERT_EQ(s.holes.size(), 2u);
    // Bar 2 starts at beat 4; each hole closes 12 ticks (1/16 beat) early.
    EXPECT_EQ(s.holes[0].hole, 54);
    EXPECT_EQ(s.holes[0].start, 768);
    EXPECT_EQ(s.holes[0].end, 948);
    EXPECT_EQ(s.holes[1].hole, 58);
    EXPECT_EQ(s.holes[1].start, 960);
    EXPECT_EQ(s.holes[1].end, 1044);
    EXPECT_TRUE(s.holes[0].note);
}

TEST(ScoreNotes, ChordsRestsAndRepeatedPhrases) {
    const Score s = parse("tpq 96\nrelease 0\nphrase p C2/1 r/1\n"
                          "pedal 1:2.5 $p*2\nswell 1:1 C2+E2/2\n");
    ASSERT_EQ(s.holes.size(), 4u);
    EXPECT_EQ(s.holes[0].hole, 6);
    EXPECT_EQ(s.holes[0].start, 144);
    EXPECT_EQ(s.holes[0].end, 240);
    EXPECT_EQ(s.holes[1].start, 336); // after the rest
    EXPECT_EQ(s.holes[2].hole, 7);
    EXPECT_EQ(s.holes[3].hole, 15);
    EXPECT_EQ(s.holes[3].end, 192);
}

TEST(ScoreNotes, HeaderTextsAndSettings) {
    const Score s = parse("title  Canon  in D \ncopyright (c) us\ntext one\ntext two\n"
                          "tempo 72.5\nmeter 3\n# a comment\n\ngreat 1:1 F#4/1 # F# is a pitch\n");
    EXPECT_EQ(s.title, "Canon  in D");
    EXPECT_EQ(s.copyright, "(c) us");
    ASSERT_EQ(s.texts.size(), 2u);
    EXPECT_EQ(s.texts[1], "two");
    EXPECT_DOUBLE_EQ(s.tempo, 72.5);
    EXPECT_EQ(s.meter, 3);
    ASSERT_EQ(s.holes.size(), 1u);
    EXPECT_EQ(s.holes[0].hole, 66);
}

TEST(ScoreNotes, MistakesNameTheirLine) {
    EXPECT_EQ(failure("title x\ngreat 1:1 C2/1\n"), "line 2: C2 is outside the great's compass");
    EXPECT_EQ(failure("swell 1:1 $missing\n"), "line 1: no phrase named 'missing'");
    EXPECT_EQ(failure("\nflute 1:1 C4/1\n"), "line 2: unknown directive 'flute'");
    EXPECT_EQ(failure("pedal 0:1 C2/1\n"), "line 1: bad place '0:1' (want BAR:BEAT, both from 1)");
    EXPECT_EQ(failure("tempo 5\n"), "line 1: tempo needs beats per minute from 10 to 200");
    EXPECT_EQ(failure("great 1:1 C4/0.05\n"), "line 1: note 'C4/0.05' is shorter than its release");
    EXPECT_EQ(failure("great 1:1 X4/1\n"), "line 1: bad pitch 'X4'");
    EXPECT_EQ(failure("great 1:1 C4\n"), "line 1: bad note 'C4' (want PITCH/BEATS)");
    EXPECT_EQ(failure("great 1:1 C4/0\n"), "line 1: bad length '0' (want beats above 0)");
    EXPECT_EQ(failure("great 1:1 C4/1\ntpq 96\n"), "line 2: tpq must come before the first note");
}

} // namespace
