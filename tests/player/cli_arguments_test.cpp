// The banner and the command-line checks: argument count, the roll's
// existence, and the tempo or "s" argument.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "rollfixture.h"

namespace {

class CliArguments : public ::testing::Test {
  protected:
    void SetUp() override {
        resetplayerstate();
        std::FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    void TearDown() override { std::remove(path.c_str()); }
    // Runs the checks on: program, roll, and optionally one more argument.
    void check(const char* extra) {
        char prog[] = "vennoroll";
        std::string roll = path;
        std::string arg = extra ? extra : "";
        char* argv[] = {prog, &roll[0], &arg[0], nullptr};
        checkarguments(extra ? 3 : 2, argv);
    }
    // Tests run in parallel processes: one file each.
    std::string path = "cli_arguments_roll_" + std::to_string(getpid()) + ".mes";
};

using CliArgumentsDeathTest = CliArguments;

TEST(Banner, ExactLines) {
    testing::internal::CaptureStdout();
    printbanner();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nPlay Estey e-roll, v3.0\n"
              "vennoroll 1.0: Estey pipe-organ e-roll player, plays through FluidSynth\n\n");
}

TEST_F(CliArguments, RollAloneKeepsTheDefaults) {
    check(nullptr);
    EXPECT_FALSE(sc);
    EXPECT_FALSE(optempovalid);
    EXPECT_EQ(specifiedtempo, 85.0);
}

TEST_F(CliArguments, LetterSAsksForTheTrace) {
    check("s");
    EXPECT_TRUE(sc);
    EXPECT_FALSE(optempovalid);
}

TEST_F(CliArguments, TempoBoundsAndNumericPrefix) {
    check("10");
    EXPECT_TRUE(optempovalid);
    EXPECT_EQ(specifiedtempo, 10.0);
    check("200");
    EXPECT_EQ(specifiedtempo, 200.0);
    check("120abc");
    EXPECT_EQ(specifiedtempo, 120.0);
    EXPECT_FALSE(sc);
}

TEST_F(CliArgumentsDeathTest, WrongArgumentCountPrintsUsage) {
    char prog[] = "./vennoroll";
    char a[] = "x";
    char* one[] = {prog, nullptr};
    char* four[] = {prog, a, a, a, nullptr};
    const std::string usage = "Usage: ./vennoroll  esteye-roll.mes [optempo]";
    expectRefusal([&] { checkarguments(1, one); }, usage);
    expectRefusal([&] { checkarguments(4, four); }, usage);
}

TEST_F(CliArgumentsDeathTest, MissingRollIsCheckedBeforeTheTempo) {
    char prog[] = "vennoroll";
    char roll[] = "no/such/roll.mes";
    char tempo[] = "5";
    char* argv[] = {prog, roll, tempo, nullptr};
    expectRefusal([&] { checkarguments(3, argv); }, "Input file does not exist");
}

TEST_F(CliArgumentsDeathTest, TempoOutsideTheRangeIsRefused) {
    for (const char* bad : {"9.99", "200.5", "S", "nan", "NAN", "inf", "-120", "abc"}) {
        SCOPED_TRACE(bad);
        expectRefusal([&] { check(bad); }, "Output tempo must be between 10.0 and 200.0");
    }
}

} // namespace
