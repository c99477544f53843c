// Which rolls count as Estey e-rolls: at most 2 closings of holes outside 1 to
// 125 and at least 10 closings of required holes.
#include "rollfixture.h"

namespace {

TEST(RollValidity, TenRequiredAndTwoOutOfRangePass) {
    Roll roll;
    roll.required(0).hole(0, 500, 510).hole(126, 520, 530);
    interpret(roll);
    EXPECT_EQ(requirednotecount, 10);
    EXPECT_EQ(outofrangecount, 2);
    EXPECT_TRUE(rollisvalid());
}

TEST(RollValidity, MiddleHolesNeverMakeARoll) {
    Roll roll;
    for (int hole = 24; hole <= 98; hole++) {
        roll.hole(hole, hole * 10, hole * 10 + 5);
    }
    interpret(roll);
    EXPECT_EQ(requirednotecount, 0);
    EXPECT_FALSE(rollisvalid());
}

TEST(RollValidityDeath, NineRequiredEndTheRun) {
    Roll roll;
    for (int i = 0; i < 9; i++) {
        roll.hole(99, i * 10, i * 10 + 5);
    }
    interpret(roll);
    EXPECT_EXIT(
        {
            stdouttostderr();
            validateroll();
        },
        ::testing::ExitedWithCode(1), "^Invalid estey e-roll\n$");
}

TEST(RollValidityDeath, ThreeOutOfRangeEndTheRun) {
    Roll roll;
    roll.required(0).hole(0, 500, 510).hole(126, 520, 530).hole(127, 540, 550);
    interpret(roll);
    EXPECT_EXIT(
        {
            stdouttostderr();
            validateroll();
        },
        ::testing::ExitedWithCode(1), "^Invalid estey e-roll\n$");
}

TEST(RollValidityDeath, EmptyRollEndsTheRun) {
    Roll roll;
    interpret(roll);
    EXPECT_EXIT(
        {
            stdouttostderr();
            validateroll();
        },
        ::testing::ExitedWithCode(1), "^Invalid estey e-roll\n$");
}

} // namespace
