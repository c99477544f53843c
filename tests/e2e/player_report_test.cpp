// Whole standard output of runs that play: header lines, registration trace,
// playing time; exit status 0 and the run ends.
#include "e2efixture.h"

namespace {

using PlayerReport = PlayerRun;

TEST_F(PlayerReport, TextsTempoAndPlayingTime) {
    // Last closing at tick 23040: 120 quarters at 120.0 bpm, one minute.
    RollFile roll;
    roll.meta(0, 2, "(c) Estey Organ Co.").tempo(0, 500000).meta(0, 3, "Abide with me");
    roll.meta(0, 1, "Estey 165-note roll").required(192).hole(121, 22000, 23040);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended) << "the run did not end";
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Copyright: (c) Estey Organ Co.\n"
                                "Input tempo: 120.0\n"
                                "Title: Abide with me\n"
                                "Estey 165-note roll\n"
                                "Playing time: 1 minutes 0 seconds\n");
}

TEST_F(PlayerReport, NoTempoNoTexts) {
    // 85.0 bpm: tick 16728 is 61.5 s.
    RollFile roll;
    roll.required(0).hole(6, 16000, 16728);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Playing time: 1 minutes 1 seconds\n");
}

TEST_F(PlayerReport, CommandLineTempoScalesThePlayingTime) {
    // 30 s of roll at 120.0 bpm take 60 s at 60.
    RollFile roll;
    roll.tempo(0, 500000).required(0).hole(6, 11000, 11520);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid"), "60"});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Input tempo: 120.0\nPlaying time: 1 minutes 0 seconds\n");
}

TEST_F(PlayerReport, FasterOutputTempoShortensIt) {
    RollFile roll;
    roll.tempo(0, 500000).required(0).hole(6, 23000, 23040);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid"), "200"});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Input tempo: 120.0\nPlaying time: 0 minutes 36 seconds\n");
}

TEST_F(PlayerReport, OutOfRangeAndZeroRollTempo) {
    RollFile roll;
    roll.tempo(0, 8000000).tempo(0, 0).required(0);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    // 7.5 bpm converts; the zero tempo does not. Last closing at tick 456:
    // 456 / 192 quarters at 7.5 bpm = 19 s, played at 85.0 bpm.
    EXPECT_EQ(r.out, banner() + "Input tempo: 7.5\nout of range iptempo, not used\n"
                                "Input tempo: inf\nout of range iptempo, not used\n"
                                "Playing time: 0 minutes 1 seconds\n");
}

TEST_F(PlayerReport, TraceInDefaultFormatWithoutTempoLine) {
    // Hole 1, then two closings: the plain action at the second one's opening.
    RollFile roll;
    roll.hole(1, 0, 96).hole(30, 192, 288).hole(32, 384, 480).required(600);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid"), "s"});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "t= 1.41176  sc1= 1\nPlaying time: 0 minutes 3 seconds\n");
}

TEST_F(PlayerReport, TraceInFixedFormatAfterTempoLine) {
    // At 120.0 bpm: swell holes 0.125 s apart, then hole 3 acts together at
    // 0.5 s; a plain action of hole 2 at 3.5 s.
    RollFile roll;
    roll.tempo(0, 500000).hole(123, 0, 96).hole(124, 48, 150).hole(3, 192, 288);
    roll.hole(124, 300, 310).hole(123, 700, 710);
    roll.hole(2, 960, 1056).hole(30, 1152, 1248).hole(32, 1344, 1440).required(1500);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid"), "s"});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Input tempo: 120.0\n"
                                "t= 0.5  sc3A= 1\n"
                                "t= 3.5  sc2= 1\n"
                                "Playing time: 0 minutes 5 seconds\n");
}

TEST_F(PlayerReport, NoTraceWithoutTheOption) {
    RollFile roll;
    roll.hole(1, 0, 96).hole(30, 192, 288).hole(32, 384, 480).required(600);
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Playing time: 0 minutes 3 seconds\n");
}

} // namespace
