// Stop controls: plain actions on the second closing after the control hole,
// together actions when the swell holes paired up within 0.3 s, and the
// toggling between each control's two program pairs.
#include "rollfixture.h"

namespace {

// Program changes added after the frame: {tick, swell program} on track 2 and
// the matching great program on track 3.
std::vector<std::pair<int, int>> changes(int track) {
    std::vector<std::pair<int, int>> out;
    std::vector<Ev> p = programs(track);
    for (size_t i = 1; i < p.size(); i++) {
        out.push_back({p[i].tick, p[i].bytes[1]});
    }
    return out;
}

using Changes = std::vector<std::pair<int, int>>;

// Stop-control hole `hole` at 192-tick step `step`, then two note closings.
void plainsequence(Roll& roll, int hole, int step) {
    int t = step * 192;
    roll.hole(hole, t, t + 96).hole(30, t + 192, t + 288).hole(32, t + 384, t + 480);
}

TEST(StopRegistration, PlainActionOnTheSecondClosingAfter) {
    Roll roll;
    plainsequence(roll, 1, 0);
    interpret(roll);
    EXPECT_EQ(changes(2), (Changes{{384, 10}}));
    EXPECT_EQ(changes(3), (Changes{{384, 70}}));
    EXPECT_EQ(programs(2)[1].bytes[0], 0xC1);
    EXPECT_EQ(programs(3)[1].bytes[0], 0xC2);
    EXPECT_FALSE(sc1on);
    EXPECT_EQ(loopcount, 0);
    EXPECT_TRUE(programs(1).size() == 1); // the pedal keeps program 0
}

TEST(StopRegistration, TriggeringNoteSoundsWithTheNewPrograms) {
    // The great note whose closing acts opens at the program change's tick;
    // after the sort the change comes first.
    Roll roll;
    plainsequence(roll, 1, 0);
    interpret(roll);
    outputfile.sortTracks();
    std::vector<Ev> at384;
    for (const Ev& e : trackevents(3)) {
        if (e.tick == 384) {
            at384.push_back(e);
        }
    }
    EXPECT_EQ(at384, (std::vector<Ev>{{384, {0xC2, 70}}, {384, {0x92, 49, 65}}}));
}

TEST(StopRegistration, FirstClosingAfterIsNotEnough) {
    Roll roll;
    roll.hole(1, 0, 96).hole(30, 192, 288);
    interpret(roll);
    EXPECT_TRUE(changes(2).empty());
    EXPECT_TRUE(sc1on);
}

TEST(StopRegistration, RepeatedActionTogglesThePairs) {
    Roll roll;
    plainsequence(roll, 1, 0);
    plainsequence(roll, 1, 3);
    plainsequence(roll, 1, 6);
    interpret(roll);
    EXPECT_EQ(changes(2), (Changes{{384, 10}, {960, 11}, {1536, 10}}));
    EXPECT_EQ(changes(3), (Changes{{384, 70}, {960, 71}, {1536, 70}}));
}

TEST(StopRegistration, InterruptedToggleStartsAgain) {
    Roll roll;
    plainsequence(roll, 1, 0);
    plainsequence(roll, 2, 3);
    plainsequence(roll, 1, 6);
    interpret(roll);
    EXPECT_EQ(changes(2), (Changes{{384, 10}, {960, 20}, {1536, 10}}));
    EXPECT_EQ(changes(3), (Changes{{384, 70}, {960, 80}, {1536, 70}}));
}

TEST(StopRegistration, EveryControlHasItsPrograms) {
    const int holes[6] = {1, 2, 3, 4, 5, 125};
    for (int n = 1; n <= 6; n++) {
        Roll roll;
        plainsequence(roll, holes[n - 1], 0);
        plainsequence(roll, holes[n - 1], 3);
        interpret(roll);
        EXPECT_EQ(changes(2), (Changes{{384, 10 * n}, {960, 10 * n + 1}})) << n;
        EXPECT_EQ(changes(3), (Changes{{384, 10 * n + 60}, {960, 10 * n + 61}})) << n;
    }
}

TEST(StopRegistration, AnotherControlDropsThePendingOne) {
    Roll roll;
    roll.hole(1, 0, 96).hole(2, 192, 288).hole(30, 384, 480).hole(32, 576, 672);
    interpret(roll);
    EXPECT_EQ(changes(2), (Changes{{576, 20}}));
    EXPECT_EQ(changes(3), (Changes{{576, 80}}));
}

TEST(StopRegistration, TogetherAtItsOwnClosing) {
    // Swell-close and swell-open holes open 54 ticks (0.2 s) apart.
    Roll roll;
    roll.hole(123, 0, 96).hole(124, 54, 150).hole(3, 192, 288);
    interpret(roll);
    EXPECT_TRUE(stogether);
    EXPECT_EQ(changes(2), (Changes{{192, 32}}));
    EXPECT_EQ(changes(3), (Changes{{192, 92}}));
    EXPECT_FALSE(sopen);
    EXPECT_FALSE(sclose);
    EXPECT_FALSE(sc3on);
}

TEST(StopRegistration, TogetherAtTheSwellHolesClosing) {
    // Swell close opening at 10.0 s (tick 2720), hole 3, swell open opening
    // at about 10.1 s (tick 2747): the action takes the swell hole's time.
    Roll roll;
    roll.hole(123, 2720, 2730).hole(3, 2740, 2745).hole(124, 2747, 2760);
    interpret(roll);
    EXPECT_EQ(changes(2), (Changes{{2747, 32}}));
    EXPECT_EQ(changes(3), (Changes{{2747, 92}}));
}

TEST(StopRegistration, ToleranceIsStrictBetween81And82Ticks) {
    Roll near;
    near.hole(123, 1000, 1010).hole(124, 1081, 1090).hole(3, 1200, 1210);
    interpret(near);
    EXPECT_EQ(changes(2), (Changes{{1200, 32}}));

    Roll far;
    far.hole(123, 1000, 1010).hole(124, 1082, 1090).hole(3, 1200, 1210);
    far.hole(30, 1344, 1350).hole(32, 1536, 1540);
    interpret(far);
    EXPECT_FALSE(stogether);
    EXPECT_EQ(changes(2), (Changes{{1536, 30}}));
    EXPECT_EQ(changes(3), (Changes{{1536, 90}}));
}

TEST(StopRegistration, TogetherTogglesAndStaysTogether) {
    // stogether survives the action: the next control hole acts at once.
    Roll roll;
    roll.hole(123, 0, 96).hole(124, 54, 150).hole(3, 192, 288).hole(3, 384, 480);
    roll.hole(3, 576, 672);
    interpret(roll);
    EXPECT_EQ(changes(2), (Changes{{192, 32}, {384, 33}, {576, 32}}));
    EXPECT_EQ(changes(3), (Changes{{192, 92}, {384, 93}, {576, 92}}));
}

TEST(StopRegistration, KindsClearEachOthersCounters) {
    // Plain, then together, then plain on control 3: each takes its first pair.
    Roll roll;
    plainsequence(roll, 3, 0);
    roll.hole(123, 960, 970).hole(124, 1000, 1010).hole(3, 1152, 1160);
    interpret(roll);
    EXPECT_EQ(changes(2), (Changes{{384, 30}, {1152, 32}}));
    EXPECT_EQ(sc3, 0);
    EXPECT_EQ(sc3A, 1);
}

TEST(StopRegistration, NoControlHolesKeepTheFramePrograms) {
    Roll roll;
    roll.required(0).hole(30, 200, 300).hole(31, 300, 400);
    interpret(roll);
    EXPECT_EQ(programs(2), (std::vector<Ev>{{0, {0xC1, 10}}}));
    EXPECT_EQ(programs(3), (std::vector<Ev>{{0, {0xC2, 70}}}));
}

TEST(StopRegistrationTrace, DefaultNumberFormat) {
    Roll roll;
    plainsequence(roll, 1, 0);
    plainsequence(roll, 1, 3);
    testing::internal::CaptureStdout();
    interpret(roll, true);
    // 384 and 960 ticks at 192 per quarter and 85.0 bpm.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "t= 1.41176  sc1= 1\nt= 3.52941  sc1= 2\n");
}

TEST(StopRegistrationTrace, FixedFormatAfterTheTempoLine) {
    Roll roll;
    roll.tempo(0, 500000);
    roll.hole(123, 0, 96).hole(124, 48, 150).hole(125, 192, 288);
    // Swell holes far apart end the together state; then a plain action.
    roll.hole(124, 300, 310).hole(123, 700, 710);
    plainsequence(roll, 2, 5);
    testing::internal::CaptureStdout();
    interpret(roll, true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Input tempo: 120.0\nt= 0.5  sc6A= 1\nt= 3.5  sc2= 1\n");
}

TEST(StopRegistrationTrace, SilentWithoutTheOption) {
    Roll roll;
    plainsequence(roll, 1, 0);
    testing::internal::CaptureStdout();
    interpret(roll, false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(changes(2).size(), 1u);
}

} // namespace
