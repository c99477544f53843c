// Runs that end with status 1: usage, missing roll, tempo range, files that
// are no e-roll (not MIDI, truncated, two tracks, empty, hole numbers above
// 127). Each ends at once, never with a crash or a hang.
#include <cstdio>

#include "e2efixture.h"

namespace {

using PlayerRefusal = PlayerRun;

void truncate(const std::string& path, size_t bytes) {
    std::string all = readfile(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << all.substr(0, bytes);
}

TEST_F(PlayerRefusal, UsageForWrongArgumentCounts) {
    std::string usage = "Usage: " + std::string(VENNOROLL_BIN) + "  esteye-roll.mes [optempo]\n";
    RunResult none = play({});
    ASSERT_TRUE(none.ended);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, banner() + usage);
    RunResult three = play({"a", "b", "c"});
    ASSERT_TRUE(three.ended);
    EXPECT_EQ(three.status, 1);
    EXPECT_EQ(three.out, banner() + usage);
    // The program name as typed.
    RunResult typed = run(VENNOROLL_BIN, {"vr"}, nullhome);
    EXPECT_EQ(typed.out, banner() + "Usage: vr  esteye-roll.mes [optempo]\n");
}

TEST_F(PlayerRefusal, MissingRollBeforeBadTempo) {
    RunResult r = play({path("absent.mid"), "5"});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + "Input file does not exist\n");
}

TEST_F(PlayerRefusal, TempoOutOfRangeBeforeFluidSynth) {
    RollFile roll;
    roll.required(0);
    roll.write(path("roll.mid"));
    for (const char* tempo : {"9.99", "200.5", "S", "nan"}) {
        RunResult r = run(VENNOROLL_NOBANK_BIN, {"vennoroll", path("roll.mid"), tempo}, nullhome);
        ASSERT_TRUE(r.ended) << tempo;
        EXPECT_EQ(r.status, 1) << tempo;
        EXPECT_EQ(r.out, banner() + "Output tempo must be between 10.0 and 200.0\n") << tempo;
        // Refused before any SoundFont was looked for.
        EXPECT_EQ(r.err, "") << tempo;
    }
}

TEST_F(PlayerRefusal, TextFileIsNoMidiFile) {
    std::ofstream(path("hymn.mes")) << "hymn";
    RunResult r = play({path("hymn.mes")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + "File: " + path("hymn.mes") +
                         " is not a MIDI file\nChara data ish\nInvalid estey e-roll\n");
}

TEST_F(PlayerRefusal, EmptyFile) {
    std::ofstream(path("empty.mid")).flush();
    RunResult r = play({path("empty.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    std::string first = banner() + "File: " + path("empty.mid") + " is not a MIDI file\n";
    EXPECT_EQ(r.out.substr(0, first.size()), first);
    std::string last = "Invalid estey e-roll\n";
    ASSERT_GE(r.out.size(), last.size());
    EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last);
}

TEST_F(PlayerRefusal, EmptyRollTrack) {
    RollFile roll;
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + "Invalid estey e-roll\n");
}

TEST_F(PlayerRefusal, TooFewRequiredHoles) {
    RollFile roll;
    for (int hole = 30; hole < 60; hole++) {
        roll.hole(hole, hole * 10, hole * 10 + 8);
    }
    roll.meta(0, 3, "Middle only");
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + "Title: Middle only\nInvalid estey e-roll\n");
}

TEST_F(PlayerRefusal, TwoTrackRoll) {
    RollFile roll;
    roll.required(0).track();
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + "Invalid e-roll, 2 tracks\n");
}

TEST_F(PlayerRefusal, RollCutInsideItsTrack) {
    // The copyright survives; the holes after it are lost.
    RollFile roll;
    roll.meta(0, 2, "Test").required(10);
    roll.write(path("roll.mid"));
    truncate(path("roll.mid"), 14 + 8 + 4 + 4 + 6);
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner() + "Copyright: Test\nInvalid estey e-roll\n");
}

TEST_F(PlayerRefusal, RollCutAnywhereEndsWithStatus1) {
    RollFile roll;
    roll.meta(0, 2, "Test").tempo(0, 500000).required(10);
    roll.write(path("full.mid"));
    std::string full = readfile(path("full.mid"));
    // Cuts inside the header, the chunk head, the first events and later.
    for (size_t n : {1, 4, 8, 13, 16, 21, 24, 33, 55, 100}) {
        ASSERT_LT(n, full.size());
        std::ofstream(path("cut.mid"), std::ios::binary | std::ios::trunc) << full.substr(0, n);
        RunResult r = play({path("cut.mid")});
        ASSERT_TRUE(r.ended) << "cut at " << n;
        EXPECT_EQ(r.status, 1) << "cut at " << n;
        std::string last = "Invalid estey e-roll\n";
        ASSERT_GE(r.out.size(), last.size());
        EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last) << "cut at " << n;
    }
}

TEST_F(PlayerRefusal, HoleNumberAbove127) {
    RollFile roll;
    roll.required(0).bytes(500, {0x90, 133, 64}).bytes(510, {0x80, 133, 64});
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner());
    EXPECT_NE(r.err.find("Error: accessing invalid array location 133 Maximum is 127\n"),
              std::string::npos)
        << r.err;
}

} // namespace
