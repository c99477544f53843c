// The roll as read must have exactly one track, and is put in absolute ticks:
// the first step of the player's preparation.
#include "../support/smf.h"
#include "rollfixture.h"

namespace {

TEST(RollCheck, OneTrackIsTakenAndMadeAbsolute) {
    resetplayerstate();
    MidiFile roll; // delta ticks: 0, 10, 0, 5
    for (int delta : {0, 10, 0, 5}) {
        roll.addEvent(0, delta, bytearray({0x90, 6, 64}));
    }
    checkroll(roll);
    EXPECT_EQ(numtracks, 1);
    EXPECT_EQ(roll.getTimeState(), 1);
    EXPECT_EQ(roll.getEvent(0, 3).time, 15);
}

// Read from a file by readroll: two tracks, or none (a type 1 file may
// declare none), are refused.
TEST(RollCheckDeath, OtherTrackCountsAreRefused) {
    const std::string two =
        writetemp(concat({header(1, 2, 96), chunk(endoftrackdelta), chunk(endoftrackdelta)}));
    const std::string none = writetemp(header(1, 0, 96));
    for (const auto& [path, line] : {std::pair{two, "Invalid e-roll, 2 tracks"},
                                     std::pair{none, "Invalid e-roll, 0 tracks"}}) {
        resetplayerstate();
        MidiFile roll;
        expectRefusal([&, p = path] { readroll(p.c_str(), roll); }, line);
    }
}

} // namespace
