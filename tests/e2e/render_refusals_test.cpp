// Rolls and tempi that vennoroll refuses: vennoroll-render refuses them with
// the same report and status, and leaves no file behind.
#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "../support/sanitized.h"
#include "banner.h"
#include "render_e2e_support.h"

namespace {

using e2e::Folder;

struct Refusal {
    const char* name;
    std::function<void(const std::string&)> makeroll; // null: no roll at all
    const char* extra;                                // tempo or "s"; null: none
    const char* line;                                 // the refusal's last line
};

// Test names and messages show the case by its name.
void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

void twotracks(const std::string& path) {
    Roll roll;
    e2e::shortroll(roll);
    roll.score.addTrack();
    roll.write(path);
}

void notmidi(const std::string& path) {
    e2e::writefile(path, "MThd? not at all\n");
}

void ninerequired(const std::string& path) {
    Roll roll;
    for (int i = 0; i < 9; i++) {
        roll.hole(6, 192 * i, 192 * i + 100);
    }
    roll.write(path);
}

void threeoutofrange(const std::string& path) {
    Roll roll;
    e2e::shortroll(roll);
    for (int i = 0; i < 3; i++) {
        roll.hole(126, 192 * i, 192 * i + 100);
    }
    roll.write(path);
}

void emptytrack(const std::string& path) {
    Roll().write(path);
}

void goodroll(const std::string& path) {
    e2e::writeshortroll(path);
}

const Refusal refusals[] = {
    {"MissingRoll", nullptr, nullptr, "Input file does not exist\n"},
    {"MissingRollBeforeBadTempo", nullptr, "5", "Input file does not exist\n"},
    {"TempoBelowRange", goodroll, "9.99", "Output tempo must be between 10.0 and 200.0\n"},
    {"TempoAboveRange", goodroll, "200.5", "Output tempo must be between 10.0 and 200.0\n"},
    {"CapitalS", goodroll, "S", "Output tempo must be between 10.0 and 200.0\n"},
    {"NotANumber", goodroll, "nan", "Output tempo must be between 10.0 and 200.0\n"},
    {"TwoTracks", twotracks, nullptr, "Invalid e-roll, 2 tracks\n"},
    {"NotAMidiFile", notmidi, nullptr, "Invalid estey e-roll\n"},
    {"NineRequiredHoles", ninerequired, "s", "Invalid estey e-roll\n"},
    {"ThreeOutOfRange", threeoutofrange, nullptr, "Invalid estey e-roll\n"},
    {"EmptyTrack", emptytrack, "120", "Invalid estey e-roll\n"},
};

const char* const outputs[] = {"out.mid", "out.wav", "out.svg", "out.png", "out.pdf", "out.html"};

class RenderRefusals : public ::testing::TestWithParam<std::tuple<Refusal, const char*>> {};

TEST_P(RenderRefusals, SameReportAndStatusAsThePlayerAndNoFile) {
    const Refusal& refusal = std::get<0>(GetParam());
    std::string output = std::get<1>(GetParam());
    // Under the sanitizers a diagonal of the table: every refusal once, every
    // output at least once (the refusal's code is the same for every output).
    if (VENNOR_SANITIZED) {
        const size_t row =
            std::find_if(std::begin(refusals), std::end(refusals),
                         [&](const Refusal& r) { return std::string(r.name) == refusal.name; }) -
            std::begin(refusals);
        if (output != outputs[row % std::size(outputs)]) {
            GTEST_SKIP() << "the plain suite runs every pair";
        }
    }
    if ((output == "out.wav" || output == "out.html") && !e2e::exists(BANK_PATH)) {
        GTEST_SKIP() << "no bank at " << BANK_PATH << ": audio outputs are not rendered";
    }
    Folder folder;
    std::string roll = folder.file("roll.mid");
    if (refusal.makeroll) {
        refusal.makeroll(roll);
    }
    std::vector<std::string> before = folder.entries();

    std::vector<std::string> player = {VENNOROLL_BIN, roll};
    std::vector<std::string> render = {RENDER_BIN, roll, output};
    if (refusal.extra != nullptr) {
        player.push_back(refusal.extra);
        render.push_back(refusal.extra);
    }
    RunResult played = e2e::run(folder, player);
    RunResult rendered = e2e::run(folder, render);
    ASSERT_FALSE(played.hung);
    ASSERT_FALSE(rendered.hung);
    EXPECT_EQ(played.status, 1);
    EXPECT_EQ(rendered.status, 1);
    EXPECT_EQ(rendered.out, played.out);
    std::string line = refusal.line;
    ASSERT_GE(rendered.out.size(), line.size());
    EXPECT_EQ(rendered.out.substr(rendered.out.size() - line.size()), line) << rendered.out;
    EXPECT_EQ(folder.entries(), before) << "a file was left behind";
}

std::string refusalname(const ::testing::TestParamInfo<RenderRefusals::ParamType>& info) {
    std::string ending = std::get<1>(info.param) + 4;
    ending[0] = static_cast<char>(ending[0] - 'a' + 'A');
    return std::string(std::get<0>(info.param).name) + ending;
}

INSTANTIATE_TEST_SUITE_P(Rolls, RenderRefusals,
                         ::testing::Combine(::testing::ValuesIn(refusals),
                                            ::testing::ValuesIn(outputs)),
                         refusalname);

// The usage line names OUTPUT; the banner comes first, as in the player.
TEST(RenderUsage, WrongArgumentCounts) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    const std::vector<std::vector<std::string>> counts = {
        {RENDER_BIN},
        {RENDER_BIN, roll},
        {RENDER_BIN, roll, "out.mid", "120", "s"},
        {RENDER_BIN, "--speed-up", roll},
    };
    for (const std::vector<std::string>& args : counts) {
        RunResult run = e2e::run(folder, args);
        ASSERT_FALSE(run.hung);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out,
                  banner() + "Usage: " + RENDER_BIN +
                      "  esteye-roll.mes OUTPUT.mid|.wav|.flac|.svg|.png|.pdf|.html [optempo] "
                      "[--speed-up] [--spool-diameter=MM] [--paper-thickness=MM]\n");
    }
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"roll.mid"});
}

} // namespace
