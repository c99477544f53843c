// The demo arrangement stays a valid Estey roll of the right length that
// uses every kind of hole the player knows.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "MidiFile.h"
#include "score.h"

namespace {

class DemoArrangement : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ifstream in(DEMO_SCORE);
        ASSERT_TRUE(in.good());
        std::string error;
        ASSERT_TRUE(parseScore(in, score, error)) << error;
        phrases = score.phrases;
        ASSERT_TRUE(finishScore(score, error)) << error;
    }
    Score score;
    std::map<std::string, std::vector<std::string>> phrases;
};

TEST_F(DemoArrangement, EveryPhraseFillsTwoBarsOfTheGround) {
    ASSERT_GE(phrases.size(), 2u);
    for (const auto& [name, tokens] : phrases) {
        double beats = 0.0;
        for (const std::string& t : tokens) {
            beats += std::stod(t.substr(t.rfind('/') + 1));
        }
        EXPECT_DOUBLE_EQ(beats, 8.0) << name;
    }
}

TEST_F(DemoArrangement, LastsBetweenOneAndThreeMinutes) {
    long last = 0;
    for (const HoleSpan& h : score.holes) {
        last = std::max(last, h.end);
    }
    const double seconds = last * 60.0 / score.tempo / score.tpq;
    EXPECT_GT(seconds, 60.0);
    EXPECT_LT(seconds, 180.0);
}

TEST_F(DemoArrangement, UsesEveryKindOfHoleAndPassesTheValidityTest) {
    std::set<int> holes;
    int required = 0;
    for (const HoleSpan& h : score.holes) {
        holes.insert(h.hole);
        EXPECT_GE(h.hole, 1);
        EXPECT_LE(h.hole, 125);
        if ((h.hole >= 1 && h.hole <= 23) || (h.hole >= 99 && h.hole <= 120) || h.hole >= 122) {
            required++;
        }
    }
    EXPECT_GE(required, 10);
    int pedal = 0, swell = 0, great = 0, stops = 0;
    for (int h : holes) {
        pedal += h >= 6 && h <= 28 && h % 2 == 0;
        swell += h >= 7 && h <= 119 && h % 2 == 1;
        great += h >= 30 && h <= 120 && h % 2 == 0;
        stops += (h >= 1 && h <= 5) || h == 125;
    }
    EXPECT_GT(pedal, 0);
    EXPECT_GT(swell, 0);
    EXPECT_GT(great, 0);
    EXPECT_GE(stops, 4);
    EXPECT_TRUE(holes.count(123));
    EXPECT_TRUE(holes.count(124));
    EXPECT_FALSE(score.title.empty());
    EXPECT_FALSE(score.copyright.empty());
    EXPECT_FALSE(score.texts.empty());
    EXPECT_GT(score.tempo, 0.0);
}

TEST_F(DemoArrangement, BuiltRollIsOneTrackWithItsTexts) {
    MidiFile roll;
    ASSERT_EQ(roll.read(DEMO_ROLL), 1);
    ASSERT_EQ(roll.getTrackCount(), 1);
    EXPECT_EQ(roll.getTicksPerQuarterNote(), score.tpq);
    EXPECT_EQ(roll.getNumEvents(0),
              static_cast<int>(4 + score.texts.size() + 2 * score.holes.size()));
}

} // namespace
