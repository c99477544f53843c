// The .mid export: the file holds exactly the bytes the player hands to
// FluidSynth, and reads back through the model to the output score's events.
#include <string>
#include <vector>

#include "render_e2e_support.h"

namespace {

using e2e::Folder;

// One event as the comparison sees it: track, tick and bytes.
struct Ev {
    int track;
    int tick;
    std::vector<int> bytes;
    bool operator==(const Ev& o) const {
        return track == o.track && tick == o.tick && bytes == o.bytes;
    }
};

std::ostream& operator<<(std::ostream& out, const Ev& e) {
    out << "{" << e.track << "@" << e.tick << ":";
    for (int b : e.bytes) {
        out << " " << b;
    }
    return out << "}";
}

std::vector<Ev> eventsof(MidiFile& score) {
    std::vector<Ev> out;
    for (int t = 0; t < score.getTrackCount(); t++) {
        for (int i = 0; i < score.getNumEvents(t); i++) {
            MFEvent& e = score.getEvent(t, i);
            Ev ev{t, e.time, {}};
            for (int b = 0; b < e.data.getSize(); b++) {
                ev.bytes.push_back(e.data[b]);
            }
            out.push_back(ev);
        }
    }
    return out;
}

class RenderMidExport : public ::testing::TestWithParam<const char*> {};

TEST_P(RenderMidExport, FileIsTheSerialisedScore) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    std::vector<std::string> args = {RENDER_BIN, roll, folder.file("out.mid")};
    if (*GetParam() != '\0') {
        args.push_back(GetParam());
    }
    e2e::Run run = e2e::run(folder, args);
    ASSERT_FALSE(run.hung);
    ASSERT_EQ(run.status, 0) << run.out << run.err;

    e2e::Reference ref = e2e::interpretfile(roll, *GetParam() ? GetParam() : nullptr);
    std::string written = e2e::readfile(folder.file("out.mid"));
    ASSERT_FALSE(ref.score.empty());
    EXPECT_EQ(written.size(), ref.score.size());
    EXPECT_TRUE(written == ref.score) << "the exported bytes differ from the serialised score";
}

INSTANTIATE_TEST_SUITE_P(Arguments, RenderMidExport, ::testing::Values("", "120", "s", "10"));

TEST(RenderMidReadBack, SameEventsAsTheOutputScore) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    e2e::Run run = e2e::run(folder, {RENDER_BIN, roll, folder.file("out.mid"), "60"});
    ASSERT_FALSE(run.hung);
    ASSERT_EQ(run.status, 0) << run.out << run.err;

    // The output score rollcore builds for the same roll, sorted as it is
    // serialised; the reader keeps each track's end-of-track event.
    e2e::interpretfile(roll, "60");
    std::vector<Ev> expected;
    for (int t = 0; t < outputfile.getTrackCount(); t++) {
        for (int i = 0; i < outputfile.getNumEvents(t); i++) {
            MFEvent& e = outputfile.getEvent(t, i);
            Ev ev{t, e.time, {}};
            for (int b = 0; b < e.data.getSize(); b++) {
                ev.bytes.push_back(e.data[b]);
            }
            expected.push_back(ev);
        }
        int end = outputfile.getNumEvents(t) > 0
                      ? outputfile.getEvent(t, outputfile.getNumEvents(t) - 1).time
                      : 0;
        expected.push_back(Ev{t, end, {0xFF, 0x2F, 0x00}});
    }

    MidiFile back(folder.file("out.mid").c_str());
    ASSERT_EQ(back.getTrackCount(), 16);
    EXPECT_EQ(back.getTicksPerQuarterNote(), 192);
    back.absoluteTime();
    std::vector<Ev> got = eventsof(back);
    EXPECT_EQ(got, expected);

    // The roll's music is in it: ten pedal notes on channel 0, the great note
    // on channel 2, the swell note on channel 1, and the tempo of 60.
    int pedal = 0, great = 0, swellnotes = 0, tempo = 0;
    for (const Ev& e : got) {
        pedal += e.track == 1 && e.bytes[0] == 0x90;
        swellnotes += e.track == 2 && e.bytes[0] == 0x91;
        great += e.track == 3 && e.bytes[0] == 0x92;
        tempo += e.track == 0 && e.bytes == std::vector<int>{0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40};
    }
    EXPECT_EQ(pedal, 10);
    EXPECT_EQ(swellnotes, 1);
    EXPECT_EQ(great, 1);
    EXPECT_EQ(tempo, 1);
}

} // namespace
