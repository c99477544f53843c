// The swell shades: four loudness steps for swell notes, and the pairing of
// swell-open and swell-close holes that makes stop controls act together.
#include "rollfixture.h"

namespace {

TEST(SwellSteps, CloseStepsDownAndStopsAtTheBottom) {
    emptyscore();
    std::vector<int> seen;
    for (int i = 0; i < 5; i++) {
        swellclose(1.0 * i);
        seen.push_back(swellvel);
    }
    EXPECT_EQ(seen, (std::vector<int>{56, 48, 40, 40, 40}));
    swellopen(10.0);
    EXPECT_EQ(swellvel, 48);
    swellopen(11.0);
    swellopen(12.0);
    swellopen(13.0);
    EXPECT_EQ(swellvel, 65);
    EXPECT_EQ(shades, 3);
}

TEST(SwellSteps, PairingSetsAndClearsTogether) {
    // Open at 5.0 s, close at 5.1 s: together. A later open at 20.0 s pairs
    // with that close again and finds them apart.
    emptyscore();
    swellopen(5.0);
    EXPECT_FALSE(stogether);
    swellclose(5.1);
    EXPECT_TRUE(stogether);
    EXPECT_FALSE(sopen);
    EXPECT_TRUE(sclose);
    swellopen(20.0);
    EXPECT_FALSE(stogether);
    EXPECT_FALSE(sclose);
    EXPECT_TRUE(sopen);
}

TEST(SwellSteps, ToleranceIsStrict) {
    // 0.3 - 0.0 is the tolerance exactly in doubles (1.3 - 1.0 is a little
    // more); either hole may come first.
    struct Pair {
        bool closefirst;
        double first, second;
        bool together;
    };
    for (const Pair& p : {Pair{true, 0.0, 0.3, false}, Pair{false, 0.0, 0.3, false},
                          Pair{true, 2.0, 2.29, true}, Pair{false, 2.0, 2.29, true}}) {
        emptyscore();
        if (p.closefirst) {
            swellclose(p.first);
            swellopen(p.second);
        } else {
            swellopen(p.first);
            swellclose(p.second);
        }
        EXPECT_EQ(stogether, p.together) << p.closefirst << " " << p.second;
    }
}

TEST(SwellSteps, HolesOfTheSameKindDoNotPair) {
    emptyscore();
    swellclose(1.0);
    swellclose(1.1);
    EXPECT_FALSE(stogether);
    EXPECT_EQ(sclosetime, 1.1);
    EXPECT_EQ(sopentime, -1000.0);
}

TEST(SwellSteps, SwellNoteTakesTheVelocityAtItsClosing) {
    // The note opens at shade 3, a swell-close hole closes before it: 56.
    Roll roll;
    roll.on(0, 7).hole(123, 10, 20).off(192, 7);
    interpret(roll);
    EXPECT_EQ(notes(2), (std::vector<Ev>{{0, {0x91, 36, 56}}, {192, {0x81, 36, 56}}}));
}

TEST(SwellSteps, PedalAndGreatKeepTheirVelocity) {
    Roll roll;
    roll.hole(123, 0, 10).hole(123, 20, 30).hole(6, 192, 384).hole(30, 192, 384);
    roll.hole(7, 192, 384);
    interpret(roll);
    EXPECT_EQ(notes(1)[0].bytes[2], 65);
    EXPECT_EQ(notes(3)[0].bytes[2], 65);
    EXPECT_EQ(notes(2)[0].bytes[2], 48);
}

} // namespace
