// The progress line of both programs: on standard error when it is a
// terminal, with the report on standard output unchanged; nothing of it when
// standard error is a pipe. The player's line counts through the times between
// the start and the end.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "render_e2e_support.h"

namespace {

using e2e::Folder;

// The finished display for the 5-second test roll on a 60-column terminal:
// the times, then a full bar in the 45 cells that 59 columns leave.
const std::string finished = "0:05 / 0:05 [" + std::string(45, '#') + "]";

void expectprogress(const RunResult& onterminal, const RunResult& piped) {
    ASSERT_FALSE(onterminal.hung);
    ASSERT_FALSE(piped.hung);
    EXPECT_EQ(onterminal.status, 0) << onterminal.out << onterminal.err;
    EXPECT_EQ(piped.status, 0) << piped.out << piped.err;
    // Drawn from the start, redrawn in place, and left finished on its own line.
    EXPECT_NE(onterminal.err.find("\r0:00 / 0:05 ["), std::string::npos) << onterminal.err;
    EXPECT_NE(onterminal.err.find("\r" + finished + "\033[K\r\n"), std::string::npos)
        << onterminal.err;
    // The report is the same whether or not the progress is shown.
    EXPECT_EQ(onterminal.out, piped.out);
    EXPECT_EQ(onterminal.out.find(" / 0:05"), std::string::npos);
    // Nothing of it on a pipe.
    EXPECT_EQ(piped.err.find(" / 0:05"), std::string::npos) << piped.err;
    EXPECT_EQ(piped.err.find('\r'), std::string::npos);
    EXPECT_EQ(piped.err.find("\033[K"), std::string::npos);
}

// Every display the terminal showed, in order: its time never goes back, its
// bar matches its time, and at least `between` times lie strictly between the
// start and the total of `total` seconds.
void expectcounting(const std::string& terminal, int total, int between) {
    std::istringstream displays(terminal);
    int last = 0, lastfilled = 0, inside = 0;
    for (std::string display; std::getline(displays, display, '\r');) {
        int m = 0, s = 0, tm = 0, ts = 0, length = 0;
        if (std::sscanf(display.c_str(), "%d:%d / %d:%d [%n", &m, &s, &tm, &ts, &length) != 4 ||
            length == 0) {
            continue;
        }
        const std::string bar = display.substr(static_cast<size_t>(length));
        const int filled = static_cast<int>(bar.find_first_not_of('#'));
        const int room = static_cast<int>(bar.find(']'));
        const int t = 60 * m + s;
        EXPECT_EQ(60 * tm + ts, total) << display;
        EXPECT_GE(t, last) << display;
        EXPECT_GE(filled, lastfilled) << display;
        // Whole seconds shown: the bar lies within the second after them.
        EXPECT_GE(filled, t * room / total) << display;
        EXPECT_LE(filled, (t + 1) * room / total) << display;
        inside += t > last && t < total ? 1 : 0;
        last = t;
        lastfilled = filled;
    }
    EXPECT_GE(inside, between) << terminal;
}

TEST(ProgressTerminal, PlayerShowsItOnlyOnATerminal) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    RunResult onterminal = e2e::runonterminal(folder, {VENNOROLL_BIN, roll});
    RunResult piped = e2e::run(folder, {VENNOROLL_BIN, roll});
    expectprogress(onterminal, piped);
    EXPECT_NE(piped.out.find("Playing time: 0 minutes 5 seconds\n"), std::string::npos);
    expectcounting(onterminal.err, 5, 0);
}

// ALSA's null device takes the sound as fast as FluidSynth makes it, from
// 150 to over 1000 times real time here, and a busy machine wakes the
// player's display late: the short roll lengthened to 50 s and played at a
// twelfth of its tempo lasts ten minutes, and showed 2 to 8 times between
// its start and end.
TEST(ProgressTerminal, PlayerCountsThroughThePlay) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    Roll made;
    e2e::shortroll(made).hole(62, 1920, 19200).write(roll);
    RunResult onterminal = e2e::runonterminal(folder, {VENNOROLL_BIN, roll, "10"});
    ASSERT_FALSE(onterminal.hung);
    EXPECT_EQ(onterminal.status, 0) << onterminal.out;
    expectcounting(onterminal.err, 600, 1);
}

TEST(ProgressTerminal, RendererShowsItOnlyOnATerminal) {
    if (!e2e::exists(BANK_PATH)) {
        GTEST_SKIP() << "no bank at " << BANK_PATH;
    }
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    RunResult onterminal = e2e::runonterminal(folder, {RENDER_BIN, roll, "a.wav"});
    RunResult piped = e2e::run(folder, {RENDER_BIN, roll, "b.wav"});
    // Named differently, the two reports differ in their last line alone.
    std::string a = onterminal.out, b = piped.out;
    ASSERT_NE(a.find("Audio written to a.wav\n"), std::string::npos) << a;
    ASSERT_NE(b.find("Audio written to b.wav\n"), std::string::npos) << b;
    RunResult same = onterminal;
    same.out = a.substr(0, a.rfind("Audio written")) + "Audio written to b.wav\n";
    expectprogress(same, piped);
    // The render's output is the same either way.
    EXPECT_EQ(readfile(folder.file("a.wav")), readfile(folder.file("b.wav")));
}

// A score saved as .mid is not played: no progress even on a terminal.
TEST(ProgressTerminal, MidExportShowsNone) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    RunResult onterminal = e2e::runonterminal(folder, {RENDER_BIN, roll, "out.mid"});
    ASSERT_FALSE(onterminal.hung);
    EXPECT_EQ(onterminal.status, 0);
    EXPECT_EQ(onterminal.err.find(" / 0:05"), std::string::npos) << onterminal.err;
}

} // namespace
