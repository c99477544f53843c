// The audio side of a run: no usable audio device, no SoundFont, a SoundFont
// that is no SoundFont, and playing through the bank built in this tree.
#include <sys/stat.h>

#include "e2efixture.h"

namespace {

using PlayerAudio = PlayerRun;

// A roll that plays: the report ends with its playing time.
void writeroll(const std::string& file) {
    Roll roll;
    roll.meta(0, 3, "Short").required(0).hole(6, 500, 1000).hole(31, 600, 900);
    roll.write(file);
}
// Last closing at tick 1000 at 192 per quarter and 85.0 bpm: 3.7 s.
const char* report = "Title: Short\nPlaying time: 0 minutes 3 seconds\n";

TEST_F(PlayerAudio, NoAudioDeviceEndsAfterTheReport) {
    writeroll(path("roll.mid"));
    RunResult r = run(VENNOROLL_BIN, {"vennoroll", path("roll.mid")}, badhome);
    ASSERT_TRUE(r.ended) << "the run hung without an audio device";
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + report + "Audio output could not be opened\n");
}

TEST_F(PlayerAudio, MissingSoundFontIsToldOnStandardError) {
    writeroll(path("roll.mid"));
    RunResult r = run(VENNOROLL_NOBANK_BIN, {"vennoroll", path("roll.mid")}, nullhome);
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + report);
    EXPECT_NE(r.err.find(VENNOR_NOBANK), std::string::npos) << r.err;
}

TEST_F(PlayerAudio, FileThatIsNoSoundFontIsToldOnStandardError) {
    writeroll(path("roll.mid"));
    RunResult r = run(VENNOROLL_NOTSF_BIN, {"vennoroll", path("roll.mid")}, nullhome);
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + report);
    EXPECT_NE(r.err.find(VENNOR_NOTSF), std::string::npos) << r.err;
}

TEST_F(PlayerAudio, CoarseRollWithOneTickHolesEnds) {
    // At 48 ticks per quarter a one-tick hole sounds and its end truncates
    // onto its start tick: without its note-off one tick later it would
    // sound for ever and the player would never finish.
    Roll roll(48);
    roll.required(0);
    for (int i = 0; i < 8; i++) {
        roll.hole(6 + 2 * i, 600 + 10 * i, 601 + 10 * i)
            .hole(31 + 2 * i, 602 + 10 * i, 603 + 10 * i);
    }
    roll.write(path("roll.mid"));
    RunResult r = run(VENNOROLL_BIN, {"vennoroll", path("roll.mid")}, nullhome);
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 0);
    // Last closing at tick 673 at 48 per quarter: 9.9 s.
    EXPECT_EQ(r.out, banner() + "Playing time: 0 minutes 9 seconds\n");
}

TEST_F(PlayerAudio, PlaysThroughTheBankAndEnds) {
    struct stat st;
    if (stat(VENNOR_TESTBANK, &st) != 0) {
        GTEST_SKIP() << "no bank built at " << VENNOR_TESTBANK;
    }
    Roll roll(48);
    roll.meta(0, 3, "With the organ").required(0);
    for (int i = 0; i < 8; i++) {
        roll.hole(6 + 2 * i, 600 + 10 * i, 601 + 10 * i)
            .hole(31 + 2 * i, 602 + 10 * i, 603 + 10 * i);
    }
    roll.hole(1, 700, 710).hole(30, 720, 740).hole(122, 720, 760).hole(123, 760, 770);
    roll.write(path("roll.mid"));
    RunResult r = run(VENNOROLL_TESTBANK_BIN, {"vennoroll", path("roll.mid")}, nullhome, 60);
    ASSERT_TRUE(r.ended) << "playing with the bank did not end";
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + "Title: With the organ\nPlaying time: 0 minutes 11 seconds\n");
    EXPECT_EQ(r.err.find("SoundFont"), std::string::npos) << r.err;
}

} // namespace
