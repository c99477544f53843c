// vennoroll-live on a JACK server of the test's own: what arrives at a capture
// client (every message, in order, on time; everything released on SIGINT),
// what a real synthesiser makes of it, and the refusals that send nothing.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>

#include "everyhole.h"
#include "jack_harness.h"

namespace {

using namespace live;

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
    // At a terminal, as a user would: the progress line counts to the end. Above
    // the builds beside it, as the server is, where the system allows it.
    RunResult run = runonterminal(
        testpath("NICE"),
        {"nice", "-n", "-10", testpath("LIVE_BIN"), file("roll.mid"), "200", "--port", "capture"},
        where);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.err.find("0:02 / 0:02 [#"), std::string::npos) << run.err;
    // The player's report, then where it played.
    EXPECT_EQ(run.out.substr(0, report.size()), report);
    EXPECT_EQ(run.out.substr(report.size()), "Playing into capture:midi (map stops)\n");
    expectsamestream(capture.stop().midi, expected, periodseconds + 0.005);

    // --save, and with the take-up spool's speed-up (a small spool and thick
    // paper, so that two seconds tell).
    spool small;
    small.on = true;
    small.diameter = 20.0;
    small.thickness = 1.0;
    for (const spool& speedup : {spool(), small}) {
        std::vector<std::string> args{file("roll.mid"), "200", "--save", file("saved.mid")};
        if (speedup.on) {
            args.insert(args.end(), {"--spool-diameter=20", "--paper-thickness=1"});
        }
        run = live(args);
        EXPECT_EQ(run.status, 0) << run.out;
        MidiFile saved;
        ASSERT_EQ(saved.read(file("saved.mid").c_str()), 1);
        saved.absoluteTime();
        tempomap times(saved);
        std::vector<Arrival> written;
        for (int i = 0; i < saved.getNumEvents(0); i++) {
            MFEvent& e = saved.getEvent(0, i);
            if (e.data[0] < 0xF0) {
                written.push_back(
                    {times.seconds(e.time),
                     hexbytes(e.data.getBase(), static_cast<size_t>(e.data.getSize()))});
            }
        }
        const std::vector<Arrival> wanted =
            speedup.on ? expectedstream(file("roll.mid"), "200", stops, nullptr, speedup)
                       : expected;
        expectsamestream(written, wanted, 1e-9);
        EXPECT_NEAR(written.at(0).seconds, wanted.at(0).seconds, 1e-9);
        if (speedup.on) {
            EXPECT_LT(written.back().seconds, expected.back().seconds - 0.1);
        }
    }
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

// The organ going away mid-roll ends the playing with one line and status 1.
TEST_F(LiveJack, ALostPortEndsItWithOneLine) {
    JackServer server(dir);
    Capture capture(dir, {});
    ASSERT_TRUE(capture.ready);
    std::thread organquits([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        capture.stop();
    });
    const auto start = std::chrono::steady_clock::now();
    RunResult run = live({testpath("DEMO_ROLL"), "200", "--port", "capture"});
    organquits.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1),
              "Connection to capture:midi lost\n");
}

// A missing port, server or sequencer, a bad map, or what the player refuses
// (here a tempo, and a roll with one required hole too few): one line, status
// 1, within 2 s, and nothing reaches the organ.
TEST_F(LiveJack, RefusalsAreOneLineWithinTwoSecondsAndSendNothing) {
    Roll roll(256), short9(256);
    everyhole(roll).write(file("roll.mid"));
    short9.tempo(1000000);
    for (int i = 0; i < 9; i++) {
        short9.hole(6 + 2 * i, 256 * i, 256 * i + 128);
    }
    short9.write(file("nine.mid"));
    std::ofstream(file("bad.toml")) << "base = \"stops\"\ncolour = 1\n";
    struct Refusal {
        std::vector<std::string> args;
        std::string line;
    };
    const std::string every = file("roll.mid"), nine = file("nine.mid");
    std::vector<Refusal> refusals = {
        {{every, "200", "--port", "organ"},
         "No MIDI input port \"organ\" (vennoroll-live --list shows the ports)"},
        {{every, "200", "--map", file("bad.toml")}, file("bad.toml") + ":2: colour: unknown key"},
        {{every, "200", "--api", "jack", "--port", "capture"},
         "No JACK server is running (server \"vennor-no-server\")"},
        {{every, "300", "--port", "capture"}, "Output tempo must be between 10.0 and 200.0"},
        {{nine, "200", "--port", "capture"}, "Invalid estey e-roll"},
    };
    if (access("/dev/snd/seq", F_OK) != 0) {
        refusals.push_back(
            {{every, "200", "--api", "alsa"}, "No ALSA sequencer (/dev/snd/seq cannot be opened)"});
    }
    JackServer server(dir);
    Capture capture(dir, {});
    ASSERT_TRUE(capture.ready);
    for (const Refusal& r : refusals) {
        if (r.line.find("vennor-no-server") != std::string::npos) {
            setenv("JACK_DEFAULT_SERVER", "vennor-no-server", 1);
        }
        const auto start = std::chrono::steady_clock::now();
        RunResult run = live(r.args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << r.line;
        setenv("JACK_DEFAULT_SERVER", server.name.c_str(), 1);
        EXPECT_EQ(run.status, 1) << r.line;
        EXPECT_EQ(run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1), r.line + "\n");
        EXPECT_EQ(run.err, "") << r.line;
    }
    EXPECT_EQ(capture.stop().midi.size(), 0u);
}

} // namespace

namespace {

// The level of a sound every 5 ms, in dB: the mean power over the 20 ms
// from there, long enough to smooth the beating of a new pipe against the
// tail of the one before.
std::vector<double> envelope(const Wave& w) {
    const size_t hop = static_cast<size_t>(w.rate) / 200 * 2, span = 4 * hop;
    std::vector<double> db;
    for (size_t at = 0; at + span <= w.samples.size(); at += hop) {
        double sum = 1.0;
        for (size_t i = at; i < at + span; i++) {
            sum += static_cast<double>(w.samples[i]) * w.samples[i];
        }
        db.push_back(10.0 * std::log10(sum / span));
    }
    return db;
}

// Seconds the sound of `heard` around `at` lies later than that of `sung`
// around `from`: the shift within 0.1 s either way that makes the two levels
// alike from 20 ms before to 80 ms after (the attack, over which the tail of
// the note before stays much the same), their own mean level set aside.
double lag(const std::vector<double>& heard, double at, const std::vector<double>& sung,
           double from) {
    auto frame = [](double t) { return static_cast<long>(std::lround(t / 0.005)); };
    const long span = 20;
    double best = HUGE_VAL, found = 0.0;
    for (long shift = -20; shift <= 20; shift++) {
        const long h0 = frame(at) + shift - 4, s0 = frame(from) - 4;
        if (h0 < 0 || s0 < 0 || h0 + span > static_cast<long>(heard.size()) ||
            s0 + span > static_cast<long>(sung.size())) {
            continue;
        }
        double mh = 0.0, ms = 0.0, diff = 0.0;
        for (long k = 0; k < span; k++) {
            mh += heard[h0 + k] / span;
            ms += sung[s0 + k] / span;
        }
        for (long k = 0; k < span; k++) {
            diff += std::fabs(heard[h0 + k] - mh - sung[s0 + k] + ms);
        }
        if (diff < best) {
            best = diff;
            found = shift * 0.005;
        }
    }
    return found;
}

// A real synthesiser at the other end: FluidSynth with the organ bank, fed by
// vennoroll-live's own port, sounds each note where it arrives, as loud as
// the offline render of the same roll.
TEST_F(LiveJack, FluidSynthSoundsEveryNoteWhereItArrivesAsLoudAsTheRender) {
    // Ten great notes (required holes) 0.4 s apart at tempo 200.
    Roll roll(192);
    roll.tempo(600000);
    for (int i = 0; i < 10; i++) {
        roll.hole(100 + 2 * i, 256 * i, 256 * i + 96);
    }
    roll.write(file("roll.mid"));
    RunResult render =
        runprogram(testpath("RENDER_BIN"),
                   {"vennoroll-render", file("roll.mid"), file("out.wav"), "200"}, where);
    ASSERT_EQ(render.status, 0) << render.out;
    const Wave offline = readwave(readfile(file("out.wav")));

    JackServer server(dir);
    const pid_t synth =
        startprogram(testpath("NICE"),
                     {"nice", "-n", "-10", testpath("FLUIDSYNTH"), "-a", "jack", "-m", "jack", "-i",
                      "-s", "-o", "shell.port=" + std::to_string(freeport()), "-g", "1.0", "-o",
                      "synth.midi-bank-select=gs", testpath("BANK_PATH")},
                     where);
    Capture capture(dir, {"vennoroll-live:organ", "capture:midi", "vennoroll-live:organ",
                          "fluidsynth-midi:midi_00", "fluidsynth-midi:left", "capture:left",
                          "fluidsynth-midi:right", "capture:right"});
    ASSERT_TRUE(capture.ready);
    for (int i = 0;
         i < 200 &&
         runprogram(testpath("JACK_LSP"), {"jack_lsp"}, where).out.find("fluidsynth-midi:left") ==
             std::string::npos;
         i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    RunResult run = live({file("roll.mid"), "200", "--map", "score", "--wait", "0.5"});
    EXPECT_EQ(run.status, 0) << run.out;
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    Captured got = capture.stop();
    server.stop();
    EXPECT_TRUE(finish(synth));

    // Where each note reached the synthesiser, on the server's frame clock,
    // which its audio keeps.
    std::vector<double> noteons, noteoffs;
    for (const Arrival& a : got.midi) {
        if (a.hex[0] == '9' || a.hex[0] == '8') {
            (a.hex[0] == '9' ? noteons : noteoffs).push_back(a.frameseconds - got.audiostart);
        }
    }
    ASSERT_EQ(noteons.size(), 10u);
    ASSERT_EQ(noteoffs.size(), 10u);
    // The offline render of the same holes opened and closed where their
    // messages arrived (1 ms ticks): the tail of each note's neighbour lies
    // alike in both, so that the attacks can be laid side by side.
    Roll arrived(1000);
    arrived.tempo(1000000);
    auto ms = [&](double t) { return static_cast<int>(std::lround((t - noteons[0]) * 1000.0)); };
    for (int i = 0; i < 10; i++) {
        arrived.hole(100 + 2 * i, ms(noteons[i]), ms(noteoffs[i]));
    }
    arrived.write(file("arrived.mid"));
    render = runprogram(testpath("RENDER_BIN"),
                        {"vennoroll-render", file("arrived.mid"), file("arrived.wav")}, where);
    ASSERT_EQ(render.status, 0) << render.out;
    const std::vector<double> heard = envelope(got.audio),
                              sung = envelope(readwave(readfile(file("arrived.wav"))));
    for (size_t i = 0; i < noteons.size(); i++) {
        EXPECT_NEAR(lag(heard, noteons[i], sung, ms(noteons[i]) / 1000.0), 0.0, 0.03)
            << "note " << i;
    }
    const double length = 10 * 0.4 + 1.0;
    EXPECT_NEAR(got.audio.rmsdb(noteons[0], noteons[0] + length), offline.rmsdb(0.0, length), 3.0);
}

} // namespace
