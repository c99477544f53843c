// A rendered performance: as long as the score plus the tail (the releases),
// with sound in it, and quiet again at its end; with the take-up spool's
// speed-up, every note where the law puts it. Rendered
// with the bank of the build tree; skipped when the bank has not been built.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "../support/wave.h"
#include "render.h"
#include "render_e2e_support.h"

namespace {

using e2e::Folder;

// Sample rate and length in seconds from a FLAC file's STREAMINFO block.
double flacseconds(const std::string& bytes, int& rate) {
    rate = 0;
    if (bytes.size() < 42 || bytes.compare(0, 4, "fLaC") != 0 || (bytes[4] & 0x7F) != 0) {
        ADD_FAILURE() << "not a FLAC file starting with its STREAMINFO";
        return 0.0;
    }
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes.data()) + 8;
    rate = (s[10] << 12) | (s[11] << 4) | (s[12] >> 4);
    uint64_t total = (static_cast<uint64_t>(s[13] & 0x0F) << 32) |
                     (static_cast<uint64_t>(s[14]) << 24) | (static_cast<uint64_t>(s[15]) << 16) |
                     (static_cast<uint64_t>(s[16]) << 8) | s[17];
    return rate > 0 ? static_cast<double>(total) / rate : 0.0;
}

class RenderAudio : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!e2e::exists(BANK_PATH)) {
            GTEST_SKIP() << "no bank at " << BANK_PATH;
        }
        roll = folder.file("roll.mid");
        e2e::writeshortroll(roll);
    }
    RunResult render(const std::string& output, const char* extra = nullptr) {
        std::vector<std::string> args = {RENDER_BIN, roll, output};
        if (extra != nullptr) {
            args.push_back(extra);
        }
        RunResult run = e2e::run(folder, args);
        EXPECT_FALSE(run.hung);
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(run.out.substr(run.out.rfind("Audio written to ")),
                  "Audio written to " + output + "\n");
        return run;
    }
    Folder folder;
    std::string roll;
};

// The score ends when the last note closes (tick 1920: 10 beats); the tail
// then adds at most the longest release.
// The slack: the renderer notices the player's end after the period it is
// rendering (4096 frames, 93 ms), and a tick may be lost to truncation.
const double slack = 0.1;

void expectlength(double seconds, double scoreend) {
    EXPECT_GE(seconds, scoreend - slack);
    EXPECT_LE(seconds, scoreend + releaseseconds + slack);
}

TEST_F(RenderAudio, WavIsScorePlusTailAndNotSilent) {
    render("out.wav");
    Wave w = readwave(readfile(folder.file("out.wav")));
    EXPECT_EQ(w.rate, 44100);
    EXPECT_EQ(w.channels, 2);
    const double scoreend = 10 * 60.0 / 120.0; // the roll's own 120 beats a minute
    expectlength(w.seconds(), scoreend);
    // The organ sounds while the notes are held, not only somewhere.
    EXPECT_GT(w.peak(0.0, 1.0), 0.01);
    EXPECT_GT(w.peak(scoreend - 1.0, scoreend), 0.01);
    // The tail lets the sound die away: the last tenth of a second is quiet.
    EXPECT_LT(w.peak(w.seconds() - 0.1, w.seconds()), 0.002);
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"out.wav", "roll.mid"}));
}

TEST_F(RenderAudio, TempoArgumentStretchesTheRender) {
    render("slow.wav", "60");
    Wave w = readwave(readfile(folder.file("slow.wav")));
    expectlength(w.seconds(), 10 * 60.0 / 60.0);
    EXPECT_GT(w.peak(9.0, 10.0), 0.01);
}

// Pedal notes every 20 s of paper for three minutes, a 20 mm spool: each note
// starts where the law puts it, measured from the first (the pipe's attack).
TEST_F(RenderAudio, SpeedUpPutsEveryNoteWhereTheLawDoes) {
    Roll made;
    made.tempo(500000).required(0);
    for (int i = 1; i <= 9; i++) {
        made.hole(6, 7680 * i, 7680 * i + 96);
    }
    made.write(roll);
    spool s;
    s.on = true;
    s.diameter = 20.0;
    e2e::interpretfile(roll, nullptr, s);
    const double rate = spoolrate();
    render("spooled.wav", "--spool-diameter=20");
    Wave w = readwave(readfile(folder.file("spooled.wav")));
    std::vector<double> late;
    for (int i = 1; i <= 9; i++) {
        const double at = spoolplayed(rate, 20.0 * i);
        size_t k = static_cast<size_t>((at - 0.2) * w.rate) * 2;
        while (k < w.samples.size() && std::abs(w.samples[k]) < 300) {
            k++;
        }
        late.push_back(static_cast<double>(k / 2) / w.rate - at);
    }
    for (double d : late) {
        EXPECT_NEAR(d, late[0], 0.004);
    }
}

TEST_F(RenderAudio, FlacHasTheSameLength) {
    render("out.flac");
    int rate = 0;
    double seconds = flacseconds(readfile(folder.file("out.flac")), rate);
    EXPECT_EQ(rate, 44100);
    expectlength(seconds, 10 * 60.0 / 120.0);
}

} // namespace
