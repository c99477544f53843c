// A roll's page in real browsers: headless Chromium and Firefox ESR, driven by
// page/driver.mjs, play the page's own sound and report what they show. The
// sound lasts as long as the roll and its room, in both channels; the playhead
// follows the sound's clock anywhere in a row, at 150 % too, through the
// spool's law when the roll speeds up; a link opens a moment with its
// registration, lit tabs and lit holes; the keys, the Tab order, a phone's
// screen; no label of the picture overlaps another; the holes in their colours.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "../support/cases.h"
#include "../support/sanitized.h"
#include "picture.h"
#include "png_image.h"
#include "render_e2e_support.h"
#include "stops.h"

namespace {

using e2e::Folder;

struct PageCase {
    const char* name;
    const char* browser; // the test program's path of it: CHROMIUM or FIREFOX
    std::function<std::string(const Folder&)> roll;
    spool speedup;
    double click;      // seconds of paper: where on the picture the test clicks
    double moment;     // seconds played: a link to this moment
    const char* link;  // another, as m:ss.s, the second half of a row but the last: played from
    long long largest; // bytes the page may have
};

void PrintTo(const PageCase& c, std::ostream* out) {
    *out << c.name;
}

std::string demoroll(const Folder&) {
    return testpath("VENNOR_DEMO_ROLL");
}

// Two and a half minutes of paper at 120 beats a minute (384 ticks a second):
// a pedal and a great note every two seconds, a swell note from 10 to 14 s,
// stop control 2 at 20 s, the swell shades closing at 40 s.
std::string paperroll(const Folder& folder) {
    Roll roll;
    roll.tempo(500000).text(3, "Speed-up").required(0);
    for (int i = 1; i < 75; i++) {
        roll.hole(6 + 2 * (i % 10), 768 * i, 768 * i + 576);
        roll.hole(40 + 2 * (i % 20), 768 * i + 192, 768 * i + 576);
    }
    roll.hole(61, 10 * 384, 14 * 384).hole(2, 20 * 384, 20 * 384 + 100);
    roll.hole(123, 40 * 384, 40 * 384 + 100);
    roll.write(folder.file("roll.mid"));
    return folder.file("roll.mid");
}

spool spooled(double diameter) {
    spool s;
    s.on = true;
    s.diameter = diameter;
    return s;
}

const PageCase cases[] = {
    // The demo's page is held under 3 MB.
    {"DemoRollChromium", "CHROMIUM", demoroll, spool(), 60.0, 73.5, "0:41.5", 3000000},
    {"DemoRollFirefox", "FIREFOX", demoroll, spool(), 60.0, 73.5, "0:41.5", 3000000},
    // A 20 mm spool: the tempo ends 70 % above where it began.
    {"SpeedUpChromium", "CHROMIUM", paperroll, spooled(20.0), 90.0, 46.6, "1:20.0", 3000000},
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

// "A, B" as the lit tabs are reported: "A|B", sorted.
std::string tabs(const std::string& names) {
    std::vector<std::string> stops;
    for (size_t from = 0, at = 0; at != std::string::npos; from = at + 2) {
        at = names.find(", ", from);
        stops.push_back(names.substr(from, at - from));
    }
    std::sort(stops.begin(), stops.end());
    std::string joined;
    for (const std::string& s : stops) {
        joined += (joined.empty() ? "" : "|") + s;
    }
    return joined;
}

// A line of shown(): time, state, swell and great tabs, shades, action, lit
// holes, announcement; what the roll has at the paper under that time.
void expectshown(const std::vector<std::string>& line, size_t from, const std::string& report,
                 const performance& perf) {
    ASSERT_EQ(line.size(), from + 8);
    const double s = spoolpaper(perf.rate, num(line[from]));
    SCOPED_TRACE("at " + line[from] + " s played, " + std::to_string(s) + " s of paper");
    const Registration want = fromtrace(report, s);
    EXPECT_EQ(line[from + 2], tabs(want.swell));
    EXPECT_EQ(line[from + 3], tabs(want.great));
    int shades = 3;
    for (const shadestep& step : perf.shades) {
        shades = step.t <= s ? step.shades : shades;
    }
    EXPECT_EQ(line[from + 4], std::to_string(shades));
    EXPECT_EQ(line[from + 5], want.label);
    std::vector<int> open;
    for (const holeopening& h : perf.holes) {
        if (h.start <= s && s < (std::isfinite(h.end) ? h.end : perf.seconds)) {
            open.push_back(h.hole);
        }
    }
    std::sort(open.begin(), open.end());
    std::string holes;
    for (int h : open) {
        holes += (holes.empty() ? "" : ",") + std::to_string(h);
    }
    EXPECT_FALSE(open.empty());
    EXPECT_EQ(line[from + 6], holes);
    EXPECT_EQ(line[from + 7], "Swell: " + want.swell + ". Great: " + want.great + ".");
}

class PageInBrowser : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageInBrowser, PlaysAndShowsTheRoll) {
    const PageCase& c = GetParam();
    if (!e2e::exists(BANK_PATH) || !*testpath(c.browser)) {
        GTEST_SKIP() << "no bank at " << BANK_PATH << ", or no " << c.browser;
    }
    // Under the sanitizers one row: the browsers are not what they check.
    if (VENNOR_SANITIZED && !c.speedup.on) {
        GTEST_SKIP() << "the plain suite runs every row";
    }
    Folder folder;
    const std::string roll = c.roll(folder);
    const std::string report = e2e::interpretfile(roll, "s", c.speedup).report;
    const performance perf = e2e::watch(roll, "s", c.speedup);
    const double played = spoolplayed(perf.rate, perf.seconds);
    std::vector<std::string> render = {RENDER_BIN, roll, "out.html", "s"};
    if (c.speedup.on) {
        char diameter[64];
        std::snprintf(diameter, sizeof diameter, "--spool-diameter=%g", c.speedup.diameter);
        render.push_back(diameter);
    }
    RunResult made = e2e::run(folder, render);
    ASSERT_FALSE(made.hung);
    ASSERT_EQ(made.status, 0) << made.out << made.err;
    EXPECT_EQ(made.out.rfind(report, 0), 0u) << made.out;
    EXPECT_NE(made.out.find("Page written to out.html\n"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(stat(folder.file("out.html").c_str(), &st), 0);
    EXPECT_LT(st.st_size, c.largest);

    RunResult seen = e2e::run(
        folder,
        {testpath("NODE"), testpath("PAGE_DRIVER"), testpath(c.browser), folder.file("out.html"),
         folder.file("shot.png"), folder.file("phone.png"), std::to_string(picture::timex(c.click)),
         std::to_string(picture::holey(perf, c.click, 60)), std::to_string(c.moment), c.link});
    ASSERT_FALSE(seen.hung);
    ASSERT_EQ(seen.status, 0) << seen.out << seen.err;
    SCOPED_TRACE(seen.out);
    EXPECT_TRUE(facts(seen.out, "pageerror").empty());

    // The sound: the roll and its room, in both channels, and sound after
    // the last hole.
    auto duration = facts(seen.out, "duration");
    ASSERT_EQ(duration.size(), 1u);
    EXPECT_GE(num(duration[0][1]), played);
    EXPECT_LE(num(duration[0][1]), played + 6.0);
    auto sound = facts(seen.out, "sound");
    ASSERT_EQ(sound.size(), 1u);
    ASSERT_EQ(sound[0].size(), 5u);
    EXPECT_EQ(sound[0][1], "2") << "channels";
    EXPECT_GT(num(sound[0][2]), 0.05) << "left channel";
    EXPECT_GT(num(sound[0][3]), 0.05) << "right channel";
    EXPECT_GT(num(sound[0][4]), 0.001) << "half a second after the last hole";

    auto labels = facts(seen.out, "labels");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_GT(num(labels[0][1]), 20);
    EXPECT_EQ(labels[0][2], "0") << "labels overlapping";
    EXPECT_EQ(labels[0][3], "0") << "labels past the picture's edge";

    // Links: that moment, paused, with what the roll has there.
    auto linked = facts(seen.out, "linked");
    ASSERT_EQ(linked.size(), 2u);
    for (const auto& l : linked) {
        const double at = l[1].find(':') != std::string::npos
                              ? 60.0 * num(l[1]) + num(l[1].substr(l[1].find(':') + 1))
                              : num(l[1]);
        EXPECT_NEAR(num(l[2]), at, 0.1);
        EXPECT_EQ(l[3], "paused");
        expectshown(l, 2, report, perf);
    }
    auto link = facts(seen.out, "link");
    ASSERT_EQ(link.size(), 1u);
    const std::string ending = std::string("#t=") + c.link;
    EXPECT_EQ(link[0][1].substr(link[0][1].size() - std::min(link[0][1].size(), ending.size())),
              ending);

    // At 150 %, the pitch kept: the playhead where the picture puts the
    // paper under the sound's time, within 50 ms, on the screen.
    auto tempo = facts(seen.out, "tempo");
    ASSERT_EQ(tempo.size(), 1u);
    EXPECT_EQ(tempo[0], (std::vector<std::string>{"tempo", "1.5", "true", "150 %"}));
    auto playing = facts(seen.out, "playing");
    ASSERT_EQ(playing.size(), 8u);
    for (const auto& p : playing) {
        const double t = num(p[1]), s = spoolpaper(perf.rate, t);
        const double rowtop =
            picture::headerheight(perf) + std::floor(s / picture::rowseconds) * picture::rowheight;
        EXPECT_NEAR(num(p[2]), picture::timex(s),
                    0.05 * picture::pixelspersecond * (1.0 + perf.rate * t / 2.0))
            << "at " << t;
        EXPECT_NEAR(num(p[3]), rowtop, 1.0) << "at " << t;
        EXPECT_EQ(p[4], "1") << "playhead off the screen at " << t;
    }
    // The sound's clock moving (its pace against the wall's is left alone: on
    // a loaded machine the browser's silent output falls behind).
    EXPECT_GT(num(playing.back()[1]), num(playing.front()[1]) + 1.0);

    // The keys: each a key, the time and state after it, and the rate.
    auto keys = facts(seen.out, "keys");
    ASSERT_EQ(keys.size(), 1u);
    ASSERT_EQ(keys[0].size(), 25u);
    auto key = [&](int i, const char* name, double t, double near, const char* state,
                   const char* rate) {
        EXPECT_EQ(keys[0][1 + 3 * i], name);
        EXPECT_NEAR(num(keys[0][2 + 3 * i]), t, near) << name;
        EXPECT_NE(keys[0][2 + 3 * i].find(state), std::string::npos) << name;
        EXPECT_EQ(keys[0][3 + 3 * i], rate) << name;
    };
    const double paused = num(keys[0][2]);
    key(0, "Space", paused, 0.0, "paused", "1.5");
    key(1, "ArrowRight", paused + 5.0, 0.002, "paused", "1.5");
    key(2, "ArrowLeft", paused, 0.002, "paused", "1.5");
    key(3, "End", played, 0.002, "paused", "1.5");
    key(4, "Home", 0.0, 0.0, "paused", "1.5");
    key(5, "-", 0.0, 0.0, "paused", "1.4");
    key(6, "-", 0.0, 0.0, "paused", "1.3");
    key(7, "Space", 0.0, 0.5, "playing", "1.3");

    // A click plays from the paper under it, with its registration.
    auto clicked = facts(seen.out, "clicked");
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_GE(num(clicked[0][1]), spoolplayed(perf.rate, c.click) - 0.05);
    EXPECT_LE(num(clicked[0][1]), spoolplayed(perf.rate, c.click) + 1.5);
    EXPECT_EQ(clicked[0][2], "playing");
    expectshown(clicked[0], 1, report, perf);

    // Every control by Tab, named, its focus visible; on a phone the whole
    // roll's width, every control a finger's size and not covered.
    std::vector<std::string> order;
    for (const auto& f : facts(seen.out, "focus")) {
        ASSERT_EQ(f.size(), 4u);
        order.push_back(f[1]);
        EXPECT_FALSE(f[2].empty()) << f[1];
        EXPECT_EQ(f[3].rfind("none", 0), std::string::npos) << f[1];
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"play", "seek", "slower", "tempo", "faster", "copylink"}));
    auto phone = facts(seen.out, "phone");
    ASSERT_EQ(phone.size(), 1u);
    EXPECT_EQ(phone[0][1], "390");
    EXPECT_LE(num(phone[0][2]), 390.0);
    EXPECT_GE(num(phone[0][3]), 0.0);
    EXPECT_LE(num(phone[0][4]), 390.5);
    auto taps = facts(seen.out, "tap");
    EXPECT_EQ(taps.size(), order.size());
    for (const auto& t : taps) {
        EXPECT_GE(num(t[2]), 44.0) << t[1];
        EXPECT_GE(num(t[3]), 44.0) << t[1];
        EXPECT_EQ(t[4], "1") << t[1] << " covered";
    }

    // The screenshot, before playing: the longest opening of each kind of
    // note in its colour at its middle, and the paper where no hole is.
    auto box = facts(seen.out, "picture");
    ASSERT_EQ(box.size(), 1u);
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

INSTANTIATE_TEST_SUITE_P(Rolls, PageInBrowser, ::testing::ValuesIn(cases), CaseName());

} // namespace
