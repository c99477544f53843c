// Rolls that once made the player's preparation slow down quadratically.
// Each is first prepared in a child within the limits, then here to check
// what the output score holds.
#include <string>

#include <gtest/gtest.h>

#include "childrun.h"
#include "pipeline.h"

namespace {

// 209,694 one-letter text, copyright and title events, then ten required
// holes: every text is copied into the output score, whose tracks regrew 8
// events at a time past their 10,000 (some ten seconds of processor time).
TEST(RegressionRoll, CountlessTextEvents) {
    const std::string path = pipeline::datafile("text-events-200k.mid");
    const childrun::result r = childrun::run([&] { pipeline::prepareroll(path); });
    EXPECT_WITHIN_LIMITS(r, 0);
    EXPECT_NE(r.output.find("Playing time: 0 minutes 0 seconds"), std::string::npos);
    if (HasFailure()) {
        return;
    }
    ::testing::internal::CaptureStdout();
    pipeline::prepareroll(path);
    const std::string out = ::testing::internal::GetCapturedStdout();
    // Types 1, 2, 3 in turn: texts to the pedal track, copyrights and titles
    // to the tempo track, after the frame's own events.
    const int texts = 209694;
    // The holes close one tick (7 ms) after they open: too short for a note.
    EXPECT_EQ(outputfile.getNumEvents(tempotrack), texts / 3 * 2 + 1); // and the tempo
    EXPECT_EQ(outputfile.getNumEvents(pedaltrack), texts / 3 + 3);     // and the frame's
    EXPECT_NE(out.find("Copyright: A\nTitle: A\nA\n"), std::string::npos);
    resetplayerstate();
}

} // namespace
