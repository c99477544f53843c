// The output score's frame before any roll event is added.
#include "rollfixture.h"

namespace {

TEST(ScoreFrame, SixteenTracksNamesAndPrograms) {
    Roll roll(96);
    resetplayerstate();
    buildscoreframe(roll.score);
    EXPECT_EQ(outputfile.getTrackCount(), 16);
    EXPECT_EQ(outputfile.getTimeState(), 1);
    EXPECT_EQ(outputfile.getTicksPerQuarterNote(), 96);
    EXPECT_EQ(tpq, 96);
    EXPECT_TRUE(trackevents(0).empty());
    EXPECT_EQ(trackevents(1),
              (std::vector<Ev>{
                  {0, metabytes(3, "Pedal")}, {0, {0xC0, 0x00}}, {0, metabytes(1, "vennoroll")}}));
    EXPECT_EQ(trackevents(2), (std::vector<Ev>{{0, metabytes(3, "sc1swell")}, {0, {0xC1, 0x0A}}}));
    EXPECT_EQ(trackevents(3), (std::vector<Ev>{{0, metabytes(3, "sc2great")}, {0, {0xC2, 0x46}}}));
    for (int track = 4; track < 16; track++) {
        EXPECT_TRUE(trackevents(track).empty()) << track;
    }
}

TEST(ScoreFrame, RollTicksPerQuarterBecomeTheScores) {
    Roll roll(480);
    interpret(roll);
    EXPECT_EQ(outputfile.getTicksPerQuarterNote(), 480);
    EXPECT_EQ(tpq, 480);
}

} // namespace
