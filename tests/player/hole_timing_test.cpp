// Pairing hole closings with their openings: times in seconds, ticks back in
// the output score, and the closings that are not paired.
#include "rollfixture.h"

namespace {

TEST(HoleTiming, OpeningTimeAndTicksOfThePedalExample) {
    Roll roll;
    roll.hole(6, 192, 384);
    double end = interpret(roll);
    EXPECT_DOUBLE_EQ(end, 384 * 60.0 / 192 / 85.0);
    EXPECT_EQ(notes(1), (std::vector<Ev>{{192, {0x90, 36, 65}}, {384, {0x80, 36, 65}}}));
}

TEST(HoleTiming, Tick29TruncatesTo28) {
    Roll roll;
    roll.hole(30, 29, 222);
    interpret(roll);
    // 29 -> 28 on the way back; 222 -> 221 likewise.
    EXPECT_EQ(notes(3), (std::vector<Ev>{{28, {0x92, 48, 65}}, {221, {0x82, 48, 65}}}));
}

TEST(HoleTiming, Hole0To222LastsItsSeconds) {
    Roll roll;
    roll.hole(31, 0, 222);
    interpret(roll);
    EXPECT_DOUBLE_EQ(duration, 0.8161764705882353);
    EXPECT_EQ(notes(2), (std::vector<Ev>{{0, {0x91, 48, 65}}, {221, {0x81, 48, 65}}}));
}

TEST(HoleTiming, VelocityZeroNoteOnClosesAndChannelIsIgnored) {
    Roll roll;
    roll.on(192, 6, 0x95).off(384, 6, 0x95, 0);
    interpret(roll);
    EXPECT_EQ(notes(1), (std::vector<Ev>{{192, {0x90, 36, 65}}, {384, {0x80, 36, 65}}}));
    EXPECT_EQ(requirednotecount, 1);
}

TEST(HoleTiming, SecondOpeningRestartsTheHole) {
    Roll roll;
    roll.on(100, 6).on(192, 6).off(384, 6);
    interpret(roll);
    EXPECT_EQ(notes(1), (std::vector<Ev>{{192, {0x90, 36, 65}}, {384, {0x80, 36, 65}}}));
    EXPECT_EQ(loopcount, 1);
}

TEST(HoleTiming, IdleClosingIsIgnoredEntirely) {
    // Never opened, then closed twice: only the one paired closing counts.
    Roll roll;
    roll.off(50, 6).hole(7, 100, 200).off(300, 7).off(400, 1).off(500, 123);
    interpret(roll);
    EXPECT_EQ(requirednotecount, 1);
    EXPECT_EQ(loopcount, 1);
    EXPECT_FALSE(sc1on);
    EXPECT_EQ(shades, 3);
    EXPECT_TRUE(notes(1).empty());
    EXPECT_EQ(notes(2).size(), 2u);
    EXPECT_TRUE(addedevents(3).empty());
}

TEST(HoleTiming, IdleClosingLeavesTheEndTime) {
    Roll roll;
    roll.hole(6, 0, 192).off(960, 6);
    double end = interpret(roll);
    EXPECT_DOUBLE_EQ(end, 192 * 60.0 / 192 / 85.0);
}

TEST(HoleTiming, LastClosingInRollOrderEndsPlaying) {
    // Hole 121 makes nothing but still ends the roll, even when an earlier
    // closing lies later in time.
    Roll roll;
    roll.on(0, 6).on(10, 121).off(960, 6).off(480, 121);
    double end = interpret(roll);
    EXPECT_DOUBLE_EQ(end, 480 * 60.0 / 192 / 85.0);
}

TEST(HoleTiming, OtherEventsPassOver) {
    Roll roll;
    roll.bytes(0, {0xB0, 7, 100}).bytes(0, {0xC0, 5}).bytes(0, {0xE0, 0, 64});
    roll.hole(6, 192, 384).bytes(400, {0xA0, 6, 1}).meta(500, 1, "x");
    interpret(roll);
    EXPECT_EQ(loopcount, 1);
    EXPECT_EQ(notes(1).size(), 2u);
}

TEST(HoleTiming, RollTempoConvertsBothWays) {
    // At 120.0 bpm the output keeps the roll's ticks; the end time changes.
    Roll roll;
    roll.tempo(0, 500000).hole(6, 192, 384);
    double end = interpret(roll);
    EXPECT_DOUBLE_EQ(end, 0.5 * 2);
    EXPECT_EQ(notes(1), (std::vector<Ev>{{192, {0x90, 36, 65}}, {384, {0x80, 36, 65}}}));
}

TEST(HoleTimingDeath, HoleAbove127EndsWithTheIndexMessage) {
    Roll roll;
    roll.on(0, 130);
    EXPECT_EXIT(interpret(roll), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 130 Maximum is 127");
    Roll closing;
    closing.off(0, 200);
    EXPECT_EXIT(interpret(closing), ::testing::ExitedWithCode(1),
                "Error: accessing invalid array location 200 Maximum is 127");
}

TEST(HoleTiming, ZeroTicksPerQuarterAddsNoEvent) {
    // Times are not numbers then: counted, but nothing reaches the score.
    Roll roll(0);
    roll.required(0).hole(1, 200, 300).hole(7, 310, 320).hole(8, 330, 340);
    interpret(roll);
    EXPECT_EQ(requirednotecount, 13); // ten pedal closings and holes 1, 7, 8
    EXPECT_FALSE(sc1on);              // the plain action came, its programs had no tick
    for (int track = 1; track <= 3; track++) {
        EXPECT_TRUE(addedevents(track).empty()) << track;
    }
}

} // namespace
