// The .mid export: the file holds exactly the bytes the player hands to
// FluidSynth, and reads back through the model to the output score's events;
// with the take-up spool's speed-up, its tempo map follows the spool's law.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "../support/events.h"
#include "render_e2e_support.h"

namespace {

using e2e::Folder;

class RenderMidExport : public ::testing::TestWithParam<const char*> {};

TEST_P(RenderMidExport, FileIsTheSerialisedScore) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    std::vector<std::string> args = {RENDER_BIN, roll, folder.file("out.mid")};
    if (*GetParam() != '\0') {
        args.push_back(GetParam());
    }
    RunResult run = e2e::run(folder, args);
    ASSERT_FALSE(run.hung);
    ASSERT_EQ(run.status, 0) << run.out << run.err;

    e2e::Reference ref = e2e::interpretfile(roll, *GetParam() ? GetParam() : nullptr);
    std::string written = readfile(folder.file("out.mid"));
    ASSERT_FALSE(ref.score.empty());
    EXPECT_EQ(written.size(), ref.score.size());
    EXPECT_TRUE(written == ref.score) << "the exported bytes differ from the serialised score";
}

INSTANTIATE_TEST_SUITE_P(Arguments, RenderMidExport, ::testing::Values("", "120", "s", "10"));

TEST(RenderMidReadBack, SameEventsAsTheOutputScore) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    RunResult run = e2e::run(folder, {RENDER_BIN, roll, folder.file("out.mid"), "60"});
    ASSERT_FALSE(run.hung);
    ASSERT_EQ(run.status, 0) << run.out << run.err;

    // Track by track, the output score rollcore builds for the same roll,
    // sorted as it is serialised; the reader adds each track's end-of-track
    // event at its last tick.
    e2e::interpretfile(roll, "60");
    MidiFile back(folder.file("out.mid").c_str());
    ASSERT_EQ(back.getTrackCount(), 16);
    EXPECT_EQ(back.getTicksPerQuarterNote(), 192);
    back.absoluteTime();
    for (int t = 0; t < 16; t++) {
        std::vector<Ev> expected = eventsof(outputfile, t);
        expected.push_back({expected.empty() ? 0 : expected.back().tick, endoftrack});
        EXPECT_EQ(eventsof(back, t), expected) << "track " << t;
    }

    // The roll's music is in it: ten pedal notes on channel 0, the great note
    // on channel 2, the swell note on channel 1, and the tempo of 60.
    auto count = [&](int track, const Bytes& start) {
        int n = 0;
        for (const Ev& e : eventsof(back, track)) {
            n += e.bytes.size() >= start.size() &&
                 std::equal(start.begin(), start.end(), e.bytes.begin());
        }
        return n;
    };
    EXPECT_EQ(count(1, {0x90}), 10);
    EXPECT_EQ(count(2, {0x91}), 1);
    EXPECT_EQ(count(3, {0x92}), 1);
    EXPECT_EQ(count(0, {0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}), 1);
}

// The take-up spool's speed-up: a roll of ten minutes of paper at 120 beats a
// minute, a pedal note at its start, middle and end. The exported score's
// own tempo map puts each note where the law puts its paper: the paper's
// speed grows as sqrt(1 + 4 L t / (pi d^2)), its time the integral over the
// paper wound on. Off, the score has its one tempo event.
TEST(RenderSpeedUp, ScoreFollowsTheSpoolLaw) {
    Folder folder;
    const std::string roll = folder.file("roll.mid");
    const double notes[] = {1.0, 300.0, 600.0}; // seconds of paper
    Roll made;
    made.tempo(500000).required(0);
    for (double s : notes) {
        made.hole(6, static_cast<int>(s * 384), static_cast<int>(s * 384) + 192);
    }
    made.write(roll);
    const struct {
        std::vector<std::string> options;
        double diameter, thickness; // millimetres; 0: off
    } runs[] = {{{}, 0.0, 0.0},
                {{"--speed-up"}, 100.0, 0.1},
                {{"--spool-diameter=30", "--paper-thickness=0.2"}, 30.0, 0.2}};
    for (const auto& r : runs) {
        std::vector<std::string> args = {RENDER_BIN, roll, folder.file("out.mid")};
        args.insert(args.end(), r.options.begin(), r.options.end());
        RunResult run = e2e::run(folder, args);
        ASSERT_EQ(run.status, 0) << run.out << run.err;
        spool s;
        s.on = r.diameter > 0.0;
        s.diameter = s.on ? r.diameter : s.diameter;
        s.thickness = s.on ? r.thickness : s.thickness;
        EXPECT_TRUE(readfile(folder.file("out.mid")) == e2e::interpretfile(roll, nullptr, s).score);

        MidiFile back(folder.file("out.mid").c_str());
        back.absoluteTime();
        int tempi = 0;
        for (int i = 0; i < back.getNumEvents(0); i++) {
            tempi += back.getEvent(0, i).isTempo();
        }
        EXPECT_EQ(tempi > 1, s.on);
        // Seconds of playing of the paper at `paper` s: Simpson's rule over
        // the paper wound on, 0.0254 m a second at the roll's tempo.
        const double pi = 3.14159265358979323846, speed = 0.0254;
        const double k =
            s.on ? 4.0 * r.thickness / 1000.0 / (pi * std::pow(r.diameter / 1000.0, 2)) : 0.0;
        auto law = [&](double paper) {
            const int n = 1000;
            const double length = paper * speed, h = length / n;
            double sum = 0.0;
            for (int i = 0; i <= n; i++) {
                const double w = i == 0 || i == n ? 1.0 : i % 2 ? 4.0 : 2.0;
                sum += w / (speed * std::sqrt(1.0 + k * i * h));
            }
            return sum * h / 3.0;
        };
        std::vector<double> heard;
        for (int i = 0; i < back.getNumEvents(1); i++) {
            if (back.getEvent(1, i).isNoteOn()) {
                heard.push_back(back.getTimeInSeconds(back.getEvent(1, i).time));
            }
        }
        ASSERT_EQ(heard.size(), 3u);
        for (size_t i = 0; i < heard.size(); i++) {
            EXPECT_NEAR(heard[i], law(notes[i]), 1.0 / 384) << r.diameter << " mm, " << notes[i];
        }
        // The report's playing time: the last closing (600.5 s of paper), by the law.
        const long long playing = static_cast<long long>(law(600.5));
        EXPECT_NE(run.out.find("Playing time: " + std::to_string(playing / 60) + " minutes " +
                               std::to_string(playing % 60) + " seconds\n"),
                  std::string::npos)
            << run.out;
        EXPECT_EQ(run.out.find("Speed-up: ") != std::string::npos, s.on) << run.out;
    }
}

} // namespace
