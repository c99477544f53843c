// The header's division: ticks per quarter note, or a frame rate and a
// resolution whose product is stored, with the reader's report of it.
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

struct Read {
    int status;
    int tpq;
    std::string out;
    std::string err;
};

Read withDivision(int division) {
    const std::string path =
        writetemp(concat({header(0, 1, division), chunk(bytes({0x00, 0xff, 0x2f, 0x00}))}));
    MidiFile score;
    const auto r = readcaptured(score, path);
    return {r.status, score.getTicksPerQuarterNote(), r.out, r.err};
}

TEST(ReaderDivision, PositiveIsTicksPerQuarterNote) {
    const Read r = withDivision(0x0060);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.tpq, 96);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(withDivision(0x7fff).tpq, 32767);
}

TEST(ReaderDivision, TwentyFiveFramesOfForty) {
    const Read r = withDivision(0xe728);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.tpq, 1000);
    EXPECT_EQ(r.out, "SMPTE ticks: 1000 tpq\nSMPTE frames per second: 25\n"
                     "SMPTE frame resolution: 40\n");
    EXPECT_EQ(r.err, "");
}

TEST(ReaderDivision, TheOtherKnownRates) {
    EXPECT_EQ(withDivision(0xe804).tpq, 96);
    EXPECT_EQ(withDivision(0xe302).tpq, 58);
    EXPECT_EQ(withDivision(0xe250).tpq, 2400);
    EXPECT_EQ(withDivision(0xe302).out,
              "SMPTE ticks: 58 tpq\nSMPTE frames per second: 29\nSMPTE frame resolution: 2\n");
}

TEST(ReaderDivision, UnknownRateWarnsOnStandardError) {
    const Read r = withDivision(0xe050);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.tpq, 2560);
    EXPECT_EQ(r.err, "Warning: unknown FPS: 224\nSetting FPS to 32\n");
    EXPECT_EQ(r.out, "SMPTE ticks: 2560 tpq\nSMPTE frames per second: 32\n"
                     "SMPTE frame resolution: 80\n");
}

TEST(ReaderDivision, ZeroTakesTheFrameRatePath) {
    const Read r = withDivision(0x0000);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.tpq, 0);
    EXPECT_EQ(r.err, "Warning: unknown FPS: 0\nSetting FPS to 256\n");
    EXPECT_EQ(r.out, "SMPTE ticks: 0 tpq\nSMPTE frames per second: 256\n"
                     "SMPTE frame resolution: 0\n");
}

TEST(ReaderDivision, HighestByteValues) {
    const Read r = withDivision(0xffff);
    EXPECT_EQ(r.tpq, 255);
    EXPECT_EQ(r.err, "Warning: unknown FPS: 255\nSetting FPS to 1\n");
}

} // namespace
