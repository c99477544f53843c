// The playing-time line: the last closing's end time at the output tempo, in
// whole minutes and seconds.
#include <cmath>
#include <limits>

#include "rollfixture.h"

namespace {

std::string line(double lastendtime) {
    testing::internal::CaptureStdout();
    printplayingtime(lastendtime);
    return testing::internal::GetCapturedStdout();
}

TEST(PlayingTime, WholeSecondsTowardZero) {
    resetplayerstate();
    EXPECT_EQ(line(125.9), "Playing time: 2 minutes 5 seconds\n");
    EXPECT_EQ(line(59.99), "Playing time: 0 minutes 59 seconds\n");
    EXPECT_EQ(line(0.0), "Playing time: 0 minutes 0 seconds\n");
    EXPECT_EQ(line(3600.0), "Playing time: 60 minutes 0 seconds\n");
}

TEST(PlayingTime, OutputTempoScalesIt) {
    resetplayerstate();
    iptempo = 60.0;
    optempo = 120.0;
    EXPECT_EQ(line(250.0), "Playing time: 2 minutes 5 seconds\n");
}

TEST(PlayingTime, FromTheRoll) {
    // Last closing at tick 192 * 85 = 16320: 60 s at 85.0 bpm, 42.5 s at 120.
    Roll roll;
    roll.hole(6, 0, 16320);
    resetplayerstate();
    double end = interpret(roll);
    EXPECT_EQ(line(end), "Playing time: 1 minutes 0 seconds\n");
    optempo = 120.0;
    EXPECT_EQ(line(end), "Playing time: 0 minutes 42 seconds\n");
}

TEST(PlayingTime, NoOverflowForAnyValue) {
    resetplayerstate();
    EXPECT_EQ(playingseconds(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(playingseconds(-5.5), 0);
    EXPECT_EQ(playingseconds(std::numeric_limits<double>::infinity()), 9000000000000000000LL);
    EXPECT_EQ(playingseconds(1e300), 9000000000000000000LL);
    // Beyond 32 bits of seconds: 2^31 ticks at one tick per quarter, 10 bpm.
    iptempo = 10.0;
    optempo = 10.0;
    EXPECT_EQ(playingseconds(2147483647.0 * 6.0), 12884901882LL);
    EXPECT_EQ(line(2147483647.0 * 6.0), "Playing time: 214748364 minutes 42 seconds\n");
}

} // namespace
