// vennormidi run on a small score: the dump, the tempo map and conversions as
// the model computes them, the rewrite, and every refusal as one line on
// standard error with status 1.
#include <sstream>

#include "e2efixture.h"

namespace {

using VennormidiRun = PlayerRun;

struct Case {
    std::vector<std::string> args; // @in, @new, @text, @absent: files of the test
    int status;
    std::string out; // @dump: the model's dump of @in
    std::string err;
};

const Case kCases[] = {
    {{"@in"}, 0, "@dump", ""},
    {{"--tempo-map", "@in"}, 0, "0\t0.000000\n96\t0.500000\n192\t1.500000\n240\t2.000000\n", ""},
    {{"--seconds", "192", "@in"}, 0, "1.500000\n", ""},
    {{"--seconds", "0", "@in"}, 0, "0.000000\n", ""},
    // Interpolated after the tempo change at tick 96.
    {{"--tick", "1.0", "@in"}, 0, "144\n", ""},
    {{"--rewrite", "@new", "@in"}, 0, "", ""},
    {{}, 1, "", "@usage"},
    {{"--tempo", "@in"}, 1, "", "@usage"},
    {{"--seconds", "@in"}, 1, "", "@usage"},
    {{"--seconds", "1.5", "@in"}, 1, "", "vennormidi: TICK must be a whole number from 0: 1.5\n"},
    {{"--tick", "-1", "@in"}, 1, "", "vennormidi: SECONDS must be a number from 0: -1\n"},
    {{"--seconds", "50", "@in"}, 1, "", "vennormidi: no event lies at tick 50\n"},
    {{"--tick", "9", "@in"}, 1, "", "vennormidi: 9 s lies outside the events (0 to 2.000000 s)\n"},
    {{"--rewrite", "@in", "@in"}, 1, "", "vennormidi: @in exists; give a new file to write\n"},
    {{"@absent"}, 1, "", "vennormidi: cannot open @absent: No such file or directory\n"},
    {{"@text"},
     1,
     "File: @text is not a MIDI file\nChara data ish\n",
     "vennormidi: @text is not a Standard MIDI File that can be read\n"},
};

TEST_F(VennormidiRun, OutputsAndRefusals) {
    Roll score(96);
    // The end of the track, alone at the last tick, is timed as well.
    score.hole(60, 0, 96).tempo(96, 1000000).bytes(192, {0x90, 62, 64}).bytes(240, {0xff, 0x2f, 0});
    score.write(path("in.mid"));
    std::ofstream(path("hymn.mes")) << "hymn";
    std::ostringstream dump;
    MidiFile model(path("in.mid").c_str());
    dump << model;
    const std::string usage = "vennormidi: usage: vennormidi [--tempo-map | --seconds TICK | "
                              "--tick SECONDS | --rewrite OUT] FILE\n";

    const auto fill = [&](std::string s) {
        const std::pair<std::string, std::string> names[] = {
            {"@in", path("in.mid")},         {"@new", path("new.mid")}, {"@text", path("hymn.mes")},
            {"@absent", path("absent.mid")}, {"@dump", dump.str()},     {"@usage", usage}};
        for (const auto& [name, value] : names) {
            for (size_t at = s.find(name); at != std::string::npos; at = s.find(name, at)) {
                s.replace(at, name.size(), value);
                at += value.size();
            }
        }
        return s;
    };
    for (const Case& c : kCases) {
        std::vector<std::string> args{"vennormidi"};
        for (const std::string& a : c.args) {
            args.push_back(fill(a));
        }
        SCOPED_TRACE(::testing::PrintToString(args));
        const RunResult r = run(VENNORMIDI_BIN, args, nullhome);
        ASSERT_TRUE(r.ended);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, fill(c.out));
        EXPECT_EQ(r.err, fill(c.err));
    }
    // Read and written again, a file the model wrote comes out byte for byte.
    EXPECT_EQ(readfile(path("new.mid")), readfile(path("in.mid")));
}

} // namespace
