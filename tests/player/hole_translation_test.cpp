// Every kind of hole of the translation table: which track, channel, pitch and
// velocity its note takes, and how it is counted.
#include "rollfixture.h"

namespace {

struct Row {
    int hole;
    int track;  // 0: no note
    int status; // note-on status byte
    int pitch;
    int velocity;
    int required; // adds to requirednotecount
    int outofrange;
};

// Hole open from tick 192 to tick 384 (192 per quarter, 85.0 bpm).
void closeone(int hole) {
    Roll roll;
    roll.hole(hole, 192, 384);
    interpret(roll);
}

class HoleKind : public ::testing::TestWithParam<Row> {};

TEST_P(HoleKind, NoteTrackChannelAndCount) {
    const Row& r = GetParam();
    closeone(r.hole);
    EXPECT_EQ(requirednotecount, r.required);
    EXPECT_EQ(outofrangecount, r.outofrange);
    for (int track = 1; track <= 3; track++) {
        std::vector<Ev> expected;
        if (track == r.track) {
            int on = r.hole == 122 ? 192 + 544 : 192;
            expected = {{on, {r.status, r.pitch, r.velocity}},
                        {on + 192, {r.status - 0x10, r.pitch, r.velocity}}};
        }
        EXPECT_EQ(addedevents(track), expected) << "hole " << r.hole << " track " << track;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, HoleKind,
    ::testing::Values(
        // Out of range, stop controls (no note), pedal, swell, great.
        Row{0, 0, 0, 0, 0, 0, 1}, Row{1, 0, 0, 0, 0, 1, 0}, Row{5, 0, 0, 0, 0, 1, 0},
        Row{6, 1, 0x90, 36, 65, 1, 0}, Row{7, 2, 0x91, 36, 65, 1, 0}, Row{8, 1, 0x90, 37, 65, 1, 0},
        Row{22, 1, 0x90, 44, 65, 1, 0}, Row{23, 2, 0x91, 44, 65, 1, 0},
        Row{24, 1, 0x90, 45, 65, 0, 0}, Row{28, 1, 0x90, 47, 65, 0, 0},
        Row{29, 2, 0x91, 47, 65, 0, 0}, Row{30, 3, 0x92, 48, 65, 0, 0},
        Row{31, 2, 0x91, 48, 65, 0, 0}, Row{64, 3, 0x92, 65, 65, 0, 0},
        Row{97, 2, 0x91, 81, 65, 0, 0}, Row{98, 3, 0x92, 82, 65, 0, 0},
        Row{99, 2, 0x91, 82, 65, 1, 0}, Row{100, 3, 0x92, 83, 65, 1, 0},
        Row{119, 2, 0x91, 92, 65, 1, 0}, Row{120, 3, 0x92, 93, 65, 1, 0},
        // Nothing at all; the late quiet great note; swell holes; stop control 6.
        Row{121, 0, 0, 0, 0, 0, 0}, Row{122, 3, 0x92, 45, 1, 1, 0}, Row{123, 0, 0, 0, 0, 1, 0},
        Row{124, 0, 0, 0, 0, 1, 0}, Row{125, 0, 0, 0, 0, 1, 0}, Row{126, 0, 0, 0, 0, 0, 1},
        Row{127, 0, 0, 0, 0, 0, 1}));

TEST(HoleTable, NoteHolesPairUpOnTwoDivisions) {
    // Every note hole sounds exactly one note; an even hole and the odd hole
    // after it share a pitch.
    for (int hole = 6; hole <= 120; hole++) {
        closeone(hole);
        int count = 0;
        int pitch = -1;
        for (int track = 1; track <= 3; track++) {
            std::vector<Ev> n = notes(track);
            count += static_cast<int>(n.size());
            if (!n.empty()) {
                pitch = n[0].bytes[1];
            }
        }
        EXPECT_EQ(count, 2) << "hole " << hole;
        EXPECT_EQ(pitch, 36 + (hole - 6) / 2) << "hole " << hole;
    }
}

TEST(HoleTable, RequiredHolesAreTheEdgesAndTheControls) {
    int required = 0;
    for (int hole = 0; hole <= 127; hole++) {
        closeone(hole);
        required += requirednotecount;
    }
    // 1-23, 99-120, 122-125.
    EXPECT_EQ(required, 23 + 22 + 4);
}

TEST(HoleTable, LateNoteOfHole122) {
    // Open from 10.0 s for 0.5 s: velocity 1, pitch 45, channel 2, 12.0 to 12.5 s.
    emptyscore();
    xlate165(10.0, 0.5, 122);
    EXPECT_EQ(trackevents(3), (std::vector<Ev>{{3264, {0x92, 45, 1}}, {3400, {0x82, 45, 1}}}));
    EXPECT_EQ(requirednotecount, 1);
}

TEST(HoleTable, ThreeClosingsOfHole127MakeTheRollInvalid) {
    Roll two;
    two.required(1000).hole(127, 0, 10).hole(127, 20, 30);
    interpret(two);
    EXPECT_TRUE(rollisvalid());
    Roll three;
    three.required(1000).hole(127, 0, 10).hole(127, 20, 30).hole(127, 40, 50);
    interpret(three);
    EXPECT_FALSE(rollisvalid());
}

TEST(HoleTable, ShortHoleCountsWithoutSounding) {
    // Two ticks at 192 per quarter and 85.0 bpm are under 0.01 s.
    Roll roll;
    roll.hole(6, 192, 194);
    interpret(roll);
    EXPECT_TRUE(notes(1).empty());
    EXPECT_EQ(requirednotecount, 1);
}

} // namespace
