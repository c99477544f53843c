// The text of the progress line: clock times, the bar, and what it does at
// the edges (no total yet, past the end, a narrow terminal).
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "progress.h"
#include "state.h"

namespace {

TEST(ProgressClock, MinutesAndSecondsThenHours) {
    EXPECT_EQ(clocktext(0.0), "0:00");
    EXPECT_EQ(clocktext(5.9), "0:05");
    EXPECT_EQ(clocktext(65.0), "1:05");
    EXPECT_EQ(clocktext(3599.9), "59:59");
    EXPECT_EQ(clocktext(3600.0), "1:00:00");
    EXPECT_EQ(clocktext(36061.0), "10:01:01");
    EXPECT_EQ(clocktext(-3.0), "0:00");
    EXPECT_EQ(clocktext(std::nan("")), "0:00");
}

TEST(ProgressLine, BarFillsWithElapsedTime) {
    // "0:30 / 2:00 [" is 13 columns and "]" one: 20 columns leave a bar of 6.
    EXPECT_EQ(progressline(0.0, 120.0, 20), "0:00 / 2:00 [------]");
    EXPECT_EQ(progressline(30.0, 120.0, 20), "0:30 / 2:00 [#-----]");
    EXPECT_EQ(progressline(60.0, 120.0, 20), "1:00 / 2:00 [###---]");
    EXPECT_EQ(progressline(120.0, 120.0, 20), "2:00 / 2:00 [######]");
    std::string wide = progressline(45.0, 90.0, 79);
    EXPECT_EQ(wide.size(), 79u);
    EXPECT_EQ(wide.substr(0, 13), "0:45 / 1:30 [");
    EXPECT_EQ(wide.find('-'), 13u + 32u); // half of 65 cells, rounded down
}

TEST(ProgressLine, ElapsedHeldWithinTheTotal) {
    EXPECT_EQ(progressline(200.0, 120.0, 20), "2:00 / 2:00 [######]");
    EXPECT_EQ(progressline(-1.0, 120.0, 20), "0:00 / 2:00 [------]");
    EXPECT_EQ(progressline(3.0, 0.0, 20), "0:00 / 0:00 [------]");
}

TEST(ProgressLine, NarrowTerminalKeepsTheTimes) {
    EXPECT_EQ(progressline(30.0, 120.0, 15), "0:30 / 2:00 [-]");
    EXPECT_EQ(progressline(30.0, 120.0, 14), "0:30 / 2:00");
    EXPECT_EQ(progressline(30.0, 120.0, 0), "0:30 / 2:00");
}

TEST(ProgressTime, TicksAtTheOutputTempo) {
    resetplayerstate();
    tpq = 192;
    optempo = 120.0;
    EXPECT_DOUBLE_EQ(tickseconds(1920), 5.0);
    optempo = 60.0;
    tpq = 96;
    EXPECT_DOUBLE_EQ(tickseconds(96), 1.0);
    optempo = 0.0;
    EXPECT_EQ(tickseconds(96), 0.0);
    resetplayerstate();
}

TEST(ProgressTime, ScoreEndsAtItsLatestEvent) {
    resetplayerstate();
    tpq = 192;
    optempo = 120.0;
    outputfile.absoluteTime();
    outputfile.addTrack(3);
    outputfile.setTicksPerQuarterNote(192);
    Array<unsigned char> note;
    note.setSize(3);
    note[0] = 0x90;
    note[1] = 60;
    note[2] = 64;
    outputfile.addEvent(1, 384, note);
    outputfile.addEvent(3, 960, note);
    outputfile.addEvent(2, 192, note);
    EXPECT_DOUBLE_EQ(scoreseconds(), 2.5);
    resetplayerstate();
}

} // namespace
