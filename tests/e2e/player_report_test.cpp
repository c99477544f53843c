// The player's whole standard output and exit status on small rolls: the
// header lines, the registration trace and the playing time of rolls that
// play, and the one refusal line of rolls and arguments it refuses. Every run
// ends by itself.
#include <functional>

#include "../support/cases.h"
#include "e2efixture.h"

namespace {

struct Case {
    const char* name;
    std::function<void(Roll&)> build; // the roll written as roll.mid; null: none
    std::vector<std::string> args;    // after the roll's path
    int status;
    std::string out; // after the banner
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const Case cases[] = {
    // Last closing at tick 23040: 120 quarters at 120.0 bpm, one minute.
    {"TextsTempoAndPlayingTime",
     [](Roll& r) {
         r.meta(0, 2, "(c) Estey Organ Co.").tempo(0, 500000).meta(0, 3, "Abide with me");
         r.meta(0, 1, "Estey 165-note roll").required(192).hole(121, 22000, 23040);
     },
     {},
     0,
     "Copyright: (c) Estey Organ Co.\nInput tempo: 120.0\nTitle: Abide with me\n"
     "Estey 165-note roll\nPlaying time: 1 minutes 0 seconds\n"},
    // 85.0 bpm: tick 16728 is 61.5 s.
    {"NoTempoNoTexts",
     [](Roll& r) { r.required(0).hole(6, 16000, 16728); },
     {},
     0,
     "Playing time: 1 minutes 1 seconds\n"},
    // 30 s of roll at 120.0 bpm take 60 s at 60.
    {"CommandLineTempoScalesThePlayingTime",
     [](Roll& r) { r.tempo(0, 500000).required(0).hole(6, 11000, 11520); },
     {"60"},
     0,
     "Input tempo: 120.0\nPlaying time: 1 minutes 0 seconds\n"},
    {"FasterOutputTempoShortensIt",
     [](Roll& r) { r.tempo(0, 500000).required(0).hole(6, 23000, 23040); },
     {"200"},
     0,
     "Input tempo: 120.0\nPlaying time: 0 minutes 36 seconds\n"},
    // 7.5 bpm converts; the zero tempo does not. Last closing at tick 456:
    // 456 / 192 quarters at 7.5 bpm = 19 s, played at 85.0 bpm.
    {"OutOfRangeAndZeroRollTempo",
     [](Roll& r) { r.tempo(0, 8000000).tempo(0, 0).required(0); },
     {},
     0,
     "Input tempo: 7.5\nout of range iptempo, not used\nInput tempo: inf\n"
     "out of range iptempo, not used\nPlaying time: 0 minutes 1 seconds\n"},
    // Hole 1, then two closings: the plain action at the second one's opening.
    {"TraceInDefaultFormatWithoutTempoLine",
     [](Roll& r) { r.hole(1, 0, 96).hole(30, 192, 288).hole(32, 384, 480).required(600); },
     {"s"},
     0,
     "t= 1.41176  sc1= 1\nPlaying time: 0 minutes 3 seconds\n"},
    {"NoTraceWithoutTheOption",
     [](Roll& r) { r.hole(1, 0, 96).hole(30, 192, 288).hole(32, 384, 480).required(600); },
     {},
     0,
     "Playing time: 0 minutes 3 seconds\n"},
    // At 120.0 bpm: swell holes 0.125 s apart, then hole 3 acts together at
    // 0.5 s; a plain action of hole 2 at 3.5 s.
    {"TraceInFixedFormatAfterTempoLine",
     [](Roll& r) {
         r.tempo(0, 500000).hole(123, 0, 96).hole(124, 48, 150).hole(3, 192, 288);
         r.hole(124, 300, 310).hole(123, 700, 710);
         r.hole(2, 960, 1056).hole(30, 1152, 1248).hole(32, 1344, 1440).required(1500);
     },
     {"s"},
     0,
     "Input tempo: 120.0\nt= 0.5  sc3A= 1\nt= 3.5  sc2= 1\nPlaying time: 0 minutes 5 seconds\n"},
    {"EmptyRollTrack", [](Roll&) {}, {}, 1, "Invalid estey e-roll\n"},
    {"TooFewRequiredHoles",
     [](Roll& r) {
         for (int hole = 30; hole < 60; hole++) {
             r.hole(hole, hole * 10, hole * 10 + 8);
         }
         r.meta(0, 3, "Middle only");
     },
     {},
     1,
     "Title: Middle only\nInvalid estey e-roll\n"},
    {"TwoTrackRoll", [](Roll& r) { r.required(0).track(); }, {}, 1, "Invalid e-roll, 2 tracks\n"},
    // The missing roll is told before the tempo is looked at.
    {"MissingRollBeforeBadTempo", nullptr, {"5"}, 1, "Input file does not exist\n"},
};

class PlayerReport : public PlayerRun, public ::testing::WithParamInterface<Case> {};

TEST_P(PlayerReport, WholeOutputAndStatus) {
    const Case& c = GetParam();
    if (c.build) {
        Roll roll;
        c.build(roll);
        roll.write(path("roll.mid"));
    }
    std::vector<std::string> args{path("roll.mid")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RunResult r = play(args);
    ASSERT_TRUE(r.ended) << "the run did not end";
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, banner() + c.out);
}

INSTANTIATE_TEST_SUITE_P(Rolls, PlayerReport, ::testing::ValuesIn(cases), CaseName());

using PlayerRefusal = PlayerRun;

// Usage for wrong argument counts, with the program name as typed.
TEST_F(PlayerRefusal, UsageForWrongArgumentCounts) {
    const std::string usage = " esteye-roll.mes [optempo]\n";
    EXPECT_EQ(play({}).out, banner() + "Usage: " + VENNOROLL_BIN + " " + usage);
    EXPECT_EQ(play({"a", "b", "c"}).status, 1);
    RunResult typed = run(VENNOROLL_BIN, {"vr"}, nullhome);
    EXPECT_EQ(typed.status, 1);
    EXPECT_EQ(typed.out, banner() + "Usage: vr " + usage);
}

// Refused before any SoundFont was looked for: nothing on standard error.
TEST_F(PlayerRefusal, TempoOutOfRangeBeforeFluidSynth) {
    Roll roll;
    roll.required(0).write(path("roll.mid"));
    for (const char* tempo : {"9.99", "200.5", "S", "nan"}) {
        RunResult r = run(VENNOROLL_NOBANK_BIN, {"vennoroll", path("roll.mid"), tempo}, nullhome);
        EXPECT_EQ(r.status, 1) << tempo;
        EXPECT_EQ(r.out, banner() + "Output tempo must be between 10.0 and 200.0\n") << tempo;
        EXPECT_EQ(r.err, "") << tempo;
    }
}

void writecut(const std::string& path, const std::string& full, size_t n) {
    ASSERT_LT(n, full.size());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << full.substr(0, n);
}

// A file that is no MIDI file, empty or cut anywhere: the reader's lines, then
// the refusal, status 1.
TEST_F(PlayerRefusal, BrokenFilesEndWithTheRefusal) {
    std::ofstream(path("hymn.mes")) << "hymn";
    EXPECT_EQ(play({path("hymn.mes")}).out, banner() + "File: " + path("hymn.mes") +
                                                " is not a MIDI file\nChara data ish\n"
                                                "Invalid estey e-roll\n");
    Roll roll;
    roll.meta(0, 2, "Test").tempo(0, 500000).required(10);
    roll.write(path("full.mid"));
    const std::string full = readfile(path("full.mid"));
    // Empty, cut inside the header, the chunk head, the first events and later.
    for (size_t n : {0, 1, 4, 8, 13, 16, 21, 24, 33, 55, 100}) {
        writecut(path("cut.mid"), full, n);
        RunResult r = play({path("cut.mid")});
        EXPECT_EQ(r.status, 1) << "cut at " << n;
        const std::string last = "Invalid estey e-roll\n";
        ASSERT_GE(r.out.size(), last.size());
        EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last) << "cut at " << n;
        if (n == 0) {
            const std::string first =
                banner() + "File: " + path("cut.mid") + " is not a MIDI file\n";
            EXPECT_EQ(r.out.substr(0, first.size()), first);
        }
    }
    // Cut inside the track: the copyright survives, the holes after it are lost.
    Roll copyright;
    copyright.meta(0, 2, "Test").required(10);
    copyright.write(path("full.mid"));
    writecut(path("cut.mid"), readfile(path("full.mid")), 14 + 8 + 4 + 4 + 6);
    EXPECT_EQ(play({path("cut.mid")}).out, banner() + "Copyright: Test\nInvalid estey e-roll\n");
}

TEST_F(PlayerRefusal, HoleNumberAbove127) {
    Roll roll;
    roll.required(0).bytes(500, {0x90, 133, 64}).bytes(510, {0x80, 133, 64});
    roll.write(path("roll.mid"));
    RunResult r = play({path("roll.mid")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, banner());
    EXPECT_NE(r.err.find("Error: accessing invalid array location 133 Maximum is 127\n"),
              std::string::npos)
        << r.err;
}

} // namespace
