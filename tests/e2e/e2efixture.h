// The player's end-to-end fixture: a scratch folder per test with a private
// HOME whose .asoundrc routes ALSA's default device to the null device (or to
// an unusable one), and the player run there with a time limit.
#ifndef VENNOR_TESTS_E2EFIXTURE_H
#define VENNOR_TESTS_E2EFIXTURE_H

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/paths.h"
#include "../support/process.h"
#include "../support/roll.h"
#include "MidiFile.h"
#include "banner.h"

// The built programs and the files they are given (tests/e2e/CMakeLists.txt).
#define VENNOROLL_BIN testpath("VENNOROLL_BIN")
#define VENNOROLL_NOBANK_BIN testpath("VENNOROLL_NOBANK_BIN")
#define VENNOROLL_NOTSF_BIN testpath("VENNOROLL_NOTSF_BIN")
#define VENNOROLL_TESTBANK_BIN testpath("VENNOROLL_TESTBANK_BIN")
#define VENNOR_NOBANK testpath("VENNOR_NOBANK")
#define VENNOR_NOTSF testpath("VENNOR_NOTSF")
#define VENNOR_TESTBANK testpath("VENNOR_TESTBANK")
#define VENNOR_DEMO_ROLL testpath("VENNOR_DEMO_ROLL")
#define VENNORMIDI_BIN testpath("VENNORMIDI_BIN")

// A scratch folder per test, removed at the end.
class PlayerRun : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vennoroll-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        nullhome = dir + "/home-null";
        badhome = dir + "/home-bad";
        mkdir(nullhome.c_str(), 0755);
        mkdir(badhome.c_str(), 0755);
        std::ofstream(nullhome + "/.asoundrc") << "pcm.!default { type null }\n";
        // No such card: FluidSynth cannot open its audio driver.
        std::ofstream(badhome + "/.asoundrc") << "pcm.!default { type hw; card 99 }\n";
    }
    void TearDown() override {
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    // Runs the player with the given arguments (the program name first, as
    // typed) and HOME; kills it after `seconds`.
    RunResult run(const std::string& binary, const std::vector<std::string>& args,
                  const std::string& home, int seconds = 30) {
        Where where;
        where.home = home;
        where.scratch = dir;
        where.seconds = seconds;
        return runprogram(binary, args, where);
    }

    RunResult play(const std::vector<std::string>& args, int seconds = 30) {
        std::vector<std::string> all{VENNOROLL_BIN};
        all.insert(all.end(), args.begin(), args.end());
        return run(VENNOROLL_BIN, all, nullhome, seconds);
    }

    std::string dir;
    std::string nullhome;
    std::string badhome;
};

#endif
