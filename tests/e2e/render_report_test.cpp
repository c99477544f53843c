// vennoroll-render prints the player's report, then one line naming what it
// wrote; the player itself prints the same report for the same roll.
#include <string>

#include "render_e2e_support.h"

namespace {

using e2e::Folder;

class RenderReport : public ::testing::TestWithParam<const char*> {};

TEST_P(RenderReport, PlayerReportThenTheWrittenFile) {
    Folder folder;
    std::string roll = folder.file("roll.mid");
    e2e::writeshortroll(roll);
    std::string extra = GetParam();

    std::vector<std::string> player = {VENNOROLL_BIN, roll};
    std::vector<std::string> render = {RENDER_BIN, roll, "out.mid"};
    if (!extra.empty()) {
        player.push_back(extra);
        render.push_back(extra);
    }
    RunResult played = e2e::run(folder, player);
    RunResult rendered = e2e::run(folder, render);
    ASSERT_FALSE(played.hung);
    ASSERT_FALSE(rendered.hung);
    ASSERT_EQ(played.status, 0) << played.out << played.err;
    ASSERT_EQ(rendered.status, 0) << rendered.out << rendered.err;

    EXPECT_EQ(rendered.out, played.out + "Score written to out.mid\n");
    // And both are what rollcore reports for the roll in this process.
    EXPECT_EQ(played.out, e2e::interpretfile(roll, extra.empty() ? nullptr : extra.c_str()).report);
    EXPECT_NE(played.out.find("Title: Render test\n"), std::string::npos);
    EXPECT_NE(played.out.find("Playing time: 0 minutes "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Arguments, RenderReport, ::testing::Values("", "s", "42.5"));

} // namespace
