// vennoroll-live on a JACK server of the test's own: what arrives at a capture
// client (every message, in order, on time; everything released on SIGINT),
// what a real synthesiser makes of it, and the refusals that send nothing.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "everyhole.h"
#include "jack_harness.h"

namespace {

using namespace live;

class LiveJack : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vennor-live-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        where.scratch = dir;
        where.seconds = 60;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string file(const std::string& name) const { return dir + "/" + name; }
    RunResult live(std::vector<std::string> args) {
        args.insert(args.begin(), testpath("LIVE_BIN"));
        return runprogram(args[0], args, where);
    }
    std::string dir;
    Where where;
};

// Arrivals against the expected stream: the same messages in the same order,
// each at its time give or take one period (the server passes a message on
// at its next period) and 5 ms. The stream's start is the earliest arrival
// against its time.
void expectsamestream(const std::vector<Arrival>& got, const std::vector<Arrival>& expected,
                      double slack) {
    ASSERT_EQ(got.size(), expected.size());
    double start = HUGE_VAL;
    for (size_t i = 0; i < got.size(); i++) {
        start = std::min(start, got[i].seconds - expected[i].seconds);
    }
    for (size_t i = 0; i < got.size(); i++) {
        EXPECT_EQ(got[i].hex, expected[i].hex) << "message " << i;
        EXPECT_LE(got[i].seconds - expected[i].seconds - start, slack)
            << "message " << i << " " << got[i].hex;
    }
}

TEST_F(LiveJack, EveryMessageArrivesInOrderOnTimeAndSaveWritesTheSame) {
    Roll roll(256);
    everyhole(roll).write(file("roll.mid"));
    livemap stops;
    builtinmap("stops", stops);
    std::string report;
    const std::vector<Arrival> expected = expectedstream(file("roll.mid"), "200", stops, &report);

    JackServer server(dir);
    Capture capture(dir, {});
    ASSERT_TRUE(capture.ready);
    RunResult run = live({file("roll.mid"), "200", "--port", "capture"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    // The player's report, then where it played.
    EXPECT_EQ(run.out.substr(0, report.size()), report);
    EXPECT_EQ(run.out.substr(report.size()), "Playing into capture:midi (map stops)\n");
    expectsamestream(capture.stop().midi, expected, periodseconds + 0.005);

    run = live({file("roll.mid"), "200", "--save", file("saved.mid")});
    EXPECT_EQ(run.status, 0) << run.out;
    MidiFile saved;
    ASSERT_EQ(saved.read(file("saved.mid").c_str()), 1);
    saved.absoluteTime();
    tempomap times(saved);
    std::vector<Arrival> written;
    for (int i = 0; i < saved.getNumEvents(0); i++) {
        MFEvent& e = saved.getEvent(0, i);
        if (e.data[0] < 0xF0) {
            char hex[8];
            std::string bytes;
            for (int b = 0; b < e.data.getSize(); b++) {
                std::snprintf(hex, sizeof hex, "%02X", e.data[b]);
                bytes += hex;
            }
            written.push_back({times.seconds(e.time), bytes});
        }
    }
    expectsamestream(written, expected, 1e-9);
    EXPECT_NEAR(written.at(0).seconds, expected.at(0).seconds, 1e-9);
}

// Interrupted half way: every note and stop that went out comes back off,
// then All Notes Off; the program ends as killed by the signal.
TEST_F(LiveJack, InterruptedItReleasesEveryNoteAndStop) {
    JackServer server(dir);
    Capture capture(dir, {});
    ASSERT_TRUE(capture.ready);
    const pid_t pid =
        startprogram(testpath("LIVE_BIN"),
                     {"vennoroll-live", testpath("DEMO_ROLL"), "200", "--port", "capture"}, where);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    int status = 0;
    const auto asked = std::chrono::steady_clock::now();
    ASSERT_TRUE(finish(pid, SIGINT, 5.0, &status));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;

    std::map<std::string, int> sounding; // channel and key
    std::map<int, size_t> lastnote, allnotesoff;
    const std::vector<Arrival> got = capture.stop().midi;
    for (size_t i = 0; i < got.size(); i++) {
        const int byte = std::stoi(got[i].hex.substr(0, 2), nullptr, 16);
        const std::string key = got[i].hex.substr(0, 1) == "9" || got[i].hex.substr(0, 1) == "8"
                                    ? got[i].hex.substr(1, 3)
                                    : "";
        const bool on = (byte & 0xF0) == 0x90 && got[i].hex.substr(4, 2) != "00";
        if (!key.empty()) {
            sounding[key] += on ? 1 : -1;
            lastnote[byte & 0x0F] = i;
        } else if ((byte & 0xF0) == 0xB0 && got[i].hex.substr(2, 2) == "7B") {
            allnotesoff[byte & 0x0F] = i;
        }
    }
    EXPECT_GT(sounding.size(), 3u);
    for (const auto& [key, count] : sounding) {
        EXPECT_EQ(count, 0) << "channel and key " << key;
    }
    for (const auto& [channel, at] : lastnote) {
        EXPECT_GT(allnotesoff[channel], at) << "channel " << channel;
    }
}

// A missing port, server or sequencer, or a bad map: one line, status 1,
// within 2 s, and nothing reaches the organ.
TEST_F(LiveJack, RefusalsAreOneLineWithinTwoSecondsAndSendNothing) {
    Roll roll(256);
    everyhole(roll).write(file("roll.mid"));
    std::ofstream(file("bad.toml")) << "base = \"stops\"\ncolour = 1\n";
    struct Refusal {
        std::vector<std::string> args;
        std::string line;
    };
    std::vector<Refusal> refusals = {
        {{"--port", "organ"},
         "No MIDI input port \"organ\" (vennoroll-live --list shows the ports)"},
        {{"--map", file("bad.toml")}, file("bad.toml") + ":2: colour: unknown key"},
        {{"--api", "jack", "--port", "capture"},
         "No JACK server is running (server \"vennor-no-server\")"},
    };
    if (access("/dev/snd/seq", F_OK) != 0) {
        refusals.push_back(
            {{"--api", "alsa"}, "No ALSA sequencer (/dev/snd/seq cannot be opened)"});
    }
    JackServer server(dir);
    Capture capture(dir, {});
    ASSERT_TRUE(capture.ready);
    for (const Refusal& r : refusals) {
        std::vector<std::string> args{file("roll.mid"), "200"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        if (r.line.find("vennor-no-server") != std::string::npos) {
            setenv("JACK_DEFAULT_SERVER", "vennor-no-server", 1);
        }
        const auto start = std::chrono::steady_clock::now();
        RunResult run = live(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << r.line;
        setenv("JACK_DEFAULT_SERVER", server.name.c_str(), 1);
        EXPECT_EQ(run.status, 1) << r.line;
        EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1), r.line + "\n");
        EXPECT_EQ(run.err, "") << r.line;
    }
    EXPECT_EQ(capture.stop().midi.size(), 0u);
}

} // namespace
