// A roll's page in a real browser: headless Chromium, driven by
// page_driver.py, plays the page's own sound and reports what it shows. The
// sound lasts as long as the roll; the playhead follows the sound's clock; a
// click plays from the time under it and shows the registration the s trace
// gives for then; space pauses and plays; the holes are in their colours.
#include <sys/stat.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "picture.h"
#include "png_image.h"
#include "render_e2e_support.h"
#include "stops.h"

namespace {

using e2e::Folder;

struct PageCase {
    const char* name;
    const char* roll;
    double click;      // seconds: where on the picture the test clicks
    long long largest; // bytes the page may have
};

void PrintTo(const PageCase& c, std::ostream* out) {
    *out << c.name;
}

const PageCase cases[] = {
    // The start of the second row; the demo's page is held under 3 MB.
    {"DemoRoll", testpath("VENNOR_DEMO_ROLL"), 60.0, 3000000},
};

// The driver's lines: a name, then tab-separated values.
std::vector<std::vector<std::string>> facts(const std::string& out, const std::string& name) {
    std::vector<std::vector<std::string>> found;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> words;
        std::istringstream parts(line);
        for (std::string w; std::getline(parts, w, '\t');) {
            words.push_back(w);
        }
        if (!words.empty() && words[0] == name) {
            found.push_back(words);
        }
    }
    return found;
}

double num(const std::string& word) {
    return std::atof(word.c_str());
}

// The registration in force at t, from the s trace: a plain action of stop
// control n sets the swell's program 10n - 1 + count, a together one 10n + 1 +
// count; the great's is 60 more; before any, 10.
struct Registration {
    std::string swell, great, label;
};

Registration fromtrace(const std::string& report, double t) {
    int program = 10;
    std::string label;
    for (const e2e::TraceLine& line : e2e::traceactions(report)) {
        int n = 0, count = 0;
        char together = 0;
        if (line.t > t || std::sscanf(line.label.c_str(), "sc%d%c", &n, &together) != 2) {
            continue;
        }
        count = std::atoi(line.label.c_str() + line.label.find("= ") + 2);
        if (count == 1 || count == 2) {
            program = together == 'A' ? 10 * n + 1 + count : 10 * n - 1 + count;
        }
        label = line.label;
    }
    return {registrationName(program), registrationName(program + 60), label};
}

class PageInBrowser : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageInBrowser, PlaysAndShowsTheRoll) {
    const PageCase& c = GetParam();
    if (!e2e::exists(BANK_PATH)) {
        GTEST_SKIP() << "no bank at " << BANK_PATH;
    }
    Folder folder;
    const std::string report = e2e::interpretfile(c.roll, "s").report;
    const performance perf = e2e::watch(c.roll);
    RunResult made = e2e::run(folder, {RENDER_BIN, c.roll, "out.html", "s"});
    ASSERT_FALSE(made.hung);
    ASSERT_EQ(made.status, 0) << made.out << made.err;
    EXPECT_EQ(made.out, report + "Page written to out.html\n");
    struct stat st {};
    ASSERT_EQ(stat(folder.file("out.html").c_str(), &st), 0);
    EXPECT_LT(st.st_size, c.largest);

    const double clickx = picture::timex(c.click);
    const double clicky = picture::holey(perf, c.click, 60);
    RunResult seen =
        e2e::run(folder, {testpath("PYTHON3"), testpath("PAGE_DRIVER"), folder.file("out.html"),
                          folder.file("shot.png"), std::to_string(clickx), std::to_string(clicky)});
    ASSERT_FALSE(seen.hung);
    ASSERT_EQ(seen.status, 0) << seen.out << seen.err;

    auto duration = facts(seen.out, "duration");
    ASSERT_EQ(duration.size(), 1u) << seen.out;
    EXPECT_NEAR(num(duration[0][1]), perf.seconds, 0.5);

    // The playhead where the picture puts the sound's time, within 50 ms, on
    // the screen; and the sound's clock moving.
    SCOPED_TRACE(seen.out);
    auto playing = facts(seen.out, "playing");
    ASSERT_GE(playing.size(), 2u) << seen.out;
    for (const auto& p : playing) {
        const double t = num(p[1]);
        const double rowtop =
            picture::headerheight(perf) + std::floor(t / picture::rowseconds) * picture::rowheight;
        EXPECT_NEAR(num(p[2]), picture::timex(t), 0.05 * picture::pixelspersecond) << "at " << t;
        EXPECT_NEAR(num(p[3]), rowtop, 1.0) << "at " << t;
        EXPECT_EQ(p[4], "1") << "playhead off the screen at " << t;
    }
    EXPECT_GT(num(playing.back()[1]), num(playing.front()[1]) + 1.0);

    auto clicked = facts(seen.out, "clicked");
    ASSERT_EQ(clicked.size(), 1u) << seen.out;
    ASSERT_EQ(clicked[0].size(), 6u) << seen.out;
    EXPECT_NEAR(num(clicked[0][1]), c.click, 0.5);
    const Registration want = fromtrace(report, c.click);
    EXPECT_EQ(clicked[0][2], want.swell);
    EXPECT_EQ(clicked[0][3], want.great);
    int shades = 3;
    for (const shadestep& s : perf.shades) {
        shades = s.t <= c.click ? s.shades : shades;
    }
    EXPECT_EQ(clicked[0][4], std::to_string(shades));
    EXPECT_EQ(clicked[0][5], want.label);

    auto space = facts(seen.out, "space");
    ASSERT_EQ(space.size(), 1u) << seen.out;
    EXPECT_EQ(space[0], (std::vector<std::string>{"space", "paused", "playing"}));

    // The screenshot, before playing: the longest opening of each kind of
    // note in its colour at its middle, and the paper where no hole is.
    auto box = facts(seen.out, "picture");
    ASSERT_EQ(box.size(), 1u) << seen.out;
    const double left = num(box[0][1]), top = num(box[0][2]);
    Image shot(folder.file("shot.png"));
    ASSERT_TRUE(shot.good());
    for (const picture::colour* kind : {&picture::pedal, &picture::swell, &picture::great}) {
        const holeopening* longest = nullptr;
        for (const holeopening& h : perf.holes) {
            bool better = longest == nullptr || h.end - h.start > longest->end - longest->start;
            const picture::colour& hc = picture::holecolour(h.hole);
            bool same = hc.r == kind->r && hc.g == kind->g && hc.b == kind->b;
            if (same && std::isfinite(h.end) && better) {
                longest = &h;
            }
        }
        ASSERT_NE(longest, nullptr);
        const double t = (longest->start + longest->end) / 2.0;
        EXPECT_TRUE(shot.is(left + picture::timex(t), top + picture::holey(perf, t, longest->hole),
                            *kind, 4))
            << "hole " << longest->hole << " at " << t << " s";
    }
    EXPECT_TRUE(shot.is(left + picture::timex(0.5), top + picture::holey(perf, 0.5, 127),
                        picture::paper, 4));
}

std::string casename(const ::testing::TestParamInfo<PageCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rolls, PageInBrowser, ::testing::ValuesIn(cases), casename);

} // namespace
