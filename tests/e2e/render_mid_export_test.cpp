// The .mid export: the file holds exactly the bytes the player hands to
// FluidSynth, and reads back through the model to the output score's events.
#include <algorithm>
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

} // namespace
