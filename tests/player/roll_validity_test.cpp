// Which rolls count as Estey e-rolls: at most 2 closings of holes outside 1 to
// 125 and at least 10 closings of required holes. The verdict is given by the
// player's own serialisation step, which refuses the others.
#include <functional>

#include "../support/cases.h"
#include "rollfixture.h"

namespace {

struct Case {
    const char* name;
    std::function<void(Roll&)> build;
    int required;
    int outofrange;
    bool valid;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const Case cases[] = {
    {"TenRequiredAndTwoOutOfRange",
     [](Roll& r) { r.required(0).hole(0, 500, 510).hole(126, 520, 530); }, 10, 2, true},
    {"ThreeOutOfRange",
     [](Roll& r) { r.required(0).hole(0, 500, 510).hole(126, 520, 530).hole(127, 540, 550); }, 10,
     3, false},
    {"NineRequired",
     [](Roll& r) {
         for (int i = 0; i < 9; i++) {
             r.hole(99, i * 10, i * 10 + 5);
         }
     },
     9, 0, false},
    {"MiddleHolesOnly",
     [](Roll& r) {
         for (int hole = 24; hole <= 98; hole++) {
             r.hole(hole, hole * 10, hole * 10 + 5);
         }
     },
     0, 0, false},
    {"Empty", [](Roll&) {}, 0, 0, false},
};

class RollValidity : public ::testing::TestWithParam<Case> {};

TEST_P(RollValidity, CountsAndVerdict) {
    const Case& c = GetParam();
    Roll roll;
    c.build(roll);
    interpret(roll);
    EXPECT_EQ(requirednotecount, c.required);
    EXPECT_EQ(outofrangecount, c.outofrange);
    EXPECT_EQ(rollisvalid(), c.valid);
    if (c.valid) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(prepare(roll).empty());
        testing::internal::GetCapturedStdout();
    } else {
        expectRefusal([&] { prepare(roll); }, "Invalid estey e-roll");
    }
}

INSTANTIATE_TEST_SUITE_P(Rolls, RollValidity, ::testing::ValuesIn(cases), CaseName());

} // namespace
