// The roll as read must have exactly one track, and is put in absolute ticks.
#include "rollfixture.h"

namespace {

TEST(RollCheck, OneTrackIsTakenAndMadeAbsolute) {
    resetplayerstate();
    MidiFile roll; // delta ticks: 0, 10, 0, 5
    Array<unsigned char> b;
    b.setSize(3);
    b[0] = 0x90;
    b[1] = 6;
    b[2] = 64;
    roll.addEvent(0, 0, b);
    roll.addEvent(0, 10, b);
    roll.addEvent(0, 0, b);
    roll.addEvent(0, 5, b);
    checkroll(roll);
    EXPECT_EQ(numtracks, 1);
    EXPECT_EQ(roll.getTimeState(), 1);
    EXPECT_EQ(roll.getEvent(0, 3).time, 15);
}

TEST(RollCheckDeath, TwoTracksAreRefused) {
    resetplayerstate();
    MidiFile roll;
    roll.addTrack();
    EXPECT_EXIT(
        {
            stdouttostderr();
            checkroll(roll);
        },
        ::testing::ExitedWithCode(1), "^Invalid e-roll, 2 tracks\n$");
}

TEST(RollCheckDeath, NoTrackIsRefused) {
    // A type 1 file may declare no track at all.
    resetplayerstate();
    std::string name = "roll_check_no_track_" + std::to_string(getpid()) + ".mid";
    const char* path = name.c_str();
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    const unsigned char header[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 0, 0, 96};
    std::fwrite(header, 1, sizeof header, f);
    std::fclose(f);
    MidiFile roll(path);
    std::remove(path);
    EXPECT_EXIT(
        {
            stdouttostderr();
            checkroll(roll);
        },
        ::testing::ExitedWithCode(1), "^Invalid e-roll, 0 tracks\n$");
}

} // namespace
