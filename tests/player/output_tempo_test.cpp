// The output tempo: command line over the roll's valid tempo over 85.0, and
// its tempo event.
#include <cmath>

#include "rollfixture.h"

namespace {

std::vector<int> tempobytes() {
    std::vector<Ev> t0 = trackevents(0);
    return t0.back().bytes;
}

TEST(OutputTempo, MicrosecondsRoundHalfUp) {
    EXPECT_EQ(tempomicroseconds(85.0), 705882);
    EXPECT_EQ(tempomicroseconds(120.0), 500000);
    EXPECT_EQ(tempomicroseconds(10.0), 6000000);
    EXPECT_EQ(tempomicroseconds(200.0), 300000);
    EXPECT_EQ(tempomicroseconds(90.0), 666667);
}

TEST(OutputTempo, EventBytesForTheBoundsAndDefault) {
    struct Case {
        double bpm;
        std::vector<int> bytes;
    } cases[] = {{85.0, {0xFF, 0x51, 0x03, 0x0A, 0xC5, 0x5A}},
                 {120.0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
                 {10.0, {0xFF, 0x51, 0x03, 0x5B, 0x8D, 0x80}},
                 {200.0, {0xFF, 0x51, 0x03, 0x04, 0x93, 0xE0}}};
    for (const Case& c : cases) {
        Roll roll;
        resetplayerstate();
        buildscoreframe(roll.score);
        optempo = c.bpm;
        addtempoevent();
        EXPECT_EQ(tempobytes(), c.bytes) << c.bpm;
        EXPECT_EQ(trackevents(0).back().tick, 0);
    }
}

TEST(OutputTempo, CommandLineOverridesTheRoll) {
    Roll roll;
    roll.tempo(0, 500000);
    resetplayerstate();
    optempovalid = true;
    specifiedtempo = 60.0;
    buildscoreframe(roll.score);
    testing::internal::CaptureStdout();
    headerpass(roll.score);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(optempo, 60.0);
    EXPECT_EQ(iptempo, 120.0);
    EXPECT_EQ(tempobytes(), (std::vector<int>{0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}));
}

TEST(OutputTempo, RollTempoWhenNoneGiven) {
    Roll roll;
    roll.tempo(0, 500000);
    testing::internal::CaptureStdout();
    interpret(roll);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(tempobytes(), (std::vector<int>{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}));
}

TEST(OutputTempo, OutOfRangeValuesStayIn24Bits) {
    EXPECT_EQ(tempomicroseconds(1.0), 16777215);
    EXPECT_EQ(tempomicroseconds(0.0), 16777215);
    EXPECT_EQ(tempomicroseconds(std::nan("")), 0);
}

} // namespace
