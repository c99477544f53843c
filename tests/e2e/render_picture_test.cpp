// Pictures of generated rolls whose content is known: the report is the
// player's; the SVG is well-formed, names the registrations as text, and an
// independent renderer (rsvg-convert) draws it at its size in pixels; both it and the PNG show
// every kind of hole in its colour where the roll has it, paper where it has none, one stop-action
// marker at each time of the s trace, and one row a minute of the tempo played; the PDF flows the
// rows onto A4 pages, every row whole on one of them (drawn again by pdftoppm). With the take-up
// spool's speed-up the holes stay where the paper has them, and the times under the rows are the
// times played.
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "picture.h"
#include "png_image.h"
#include "render_e2e_support.h"
#include "stops.h"

namespace {

using e2e::Folder;

// 120 beats a minute at 192 ticks a quarter: 384 ticks a second.
int tick(double seconds) {
    return static_cast<int>(std::lround(seconds * 384.0));
}

Roll& holeat(Roll& roll, int hole, double from, double to) {
    return roll.hole(hole, tick(from), tick(to));
}

// A probe: at this time, this hole shows this colour.
struct Probe {
    double t;
    int hole;
    const picture::colour* colour;
};

struct PictureCase {
    const char* name;
    std::function<void(Roll&)> make;
    const char* option; // the renderer's third argument: "s" or a tempo
    int rows;
    int pages;
    int actions; // lines of the s trace
    std::vector<Probe> probes;
    double spooldiameter = 0.0; // millimetres: the speed-up on
};

void PrintTo(const PictureCase& c, std::ostream* out) {
    *out << c.name;
}

// A plain action (stop control 2), then two together ones after the swell
// shades paired up; every kind of hole once; a Latin-1 title; a text with
// characters XML must escape.
void registrations(Roll& roll) {
    roll.tempo(500000).text(3, "Chor\xE4le").text(2, "none").text(1, "Q & A <1920>");
    holeat(roll, 6, 2.0, 4.0);
    holeat(roll, 28, 2.0, 4.0); // the top pedal hole
    holeat(roll, 41, 5.0, 7.0);
    holeat(roll, 80, 8.0, 10.0);
    roll.required(tick(12.0));
    holeat(roll, 121, 15.0, 16.0);
    holeat(roll, 2, 20.0, 20.4);
    holeat(roll, 50, 21.0, 21.5);
    holeat(roll, 52, 22.0, 22.5);
    holeat(roll, 123, 30.0, 30.4);
    holeat(roll, 124, 30.1, 30.5);
    holeat(roll, 3, 32.0, 32.4);
    holeat(roll, 1, 40.0, 40.4);
    holeat(roll, 60, 44.0, 45.0);
}

// Four and a half minutes: five rows.
void severalminutes(Roll& roll) {
    roll.tempo(500000).required(0);
    for (double t = 30.0; t < 270.0; t += 30.0) {
        holeat(roll, 6, t - 1.0, t);
    }
    holeat(roll, 6, 269.0, 270.0);
}

// A minute and 50 seconds at the roll's 120 beats a minute, played at 60:
// twice as long, four rows.
void halftempo(Roll& roll) {
    roll.tempo(500000).required(0);
    holeat(roll, 6, 49.0, 50.0);
    holeat(roll, 41, 100.0, 110.0);
}

const picture::colour& paper = picture::paper;
const PictureCase cases[] = {
    {"Registrations",
     registrations,
     "s",
     1,
     1,
     3,
     {{3.0, 6, &picture::pedal},
      {3.0, 28, &picture::pedal},
      {6.0, 41, &picture::swell},
      {9.0, 80, &picture::great},
      {20.2, 2, &picture::stopcontrol},
      {30.2, 123, &picture::shade},
      {15.5, 121, &picture::ignored},
      {5.5, 6, &paper},
      {3.0, 60, &paper}}},
    {"SeveralMinutes",
     severalminutes,
     "s",
     5,
     2,
     0,
     {{269.5, 6, &picture::pedal}, {268.0, 6, &paper}, {119.5, 6, &picture::pedal}}},
    {"TempoGiven",
     halftempo,
     "60",
     4,
     2,
     0,
     {{99.0, 6, &picture::pedal},
      {49.5, 6, &paper},
      {219.0, 41, &picture::swell},
      {109.0, 41, &paper}}},
    {"SeveralMinutesSpooled",
     severalminutes,
     "s",
     5,
     2,
     0,
     {{269.5, 6, &picture::pedal}, {268.0, 6, &paper}, {119.5, 6, &picture::pedal}},
     30.0},
};

void checkimage(const std::string& path, const PictureCase& c, const performance& perf,
                const std::vector<double>& actions) {
    SCOPED_TRACE(path);
    Image image(path);
    ASSERT_TRUE(image.good());
    EXPECT_EQ(image.width(), picture::width);

    // Rows: runs of paper down the lead left of time 0.
    int rows = 0;
    for (int y = 0, run = 0; y < image.height(); y++) {
        run = image.is(picture::left - 3.0, y, paper) ? run + 1 : 0;
        rows += run == 100 ? 1 : 0;
    }
    EXPECT_EQ(rows, c.rows);

    for (const Probe& p : c.probes) {
        EXPECT_TRUE(image.is(picture::timex(p.t), picture::holey(perf, p.t, p.hole), *p.colour))
            << "hole " << p.hole << " at " << p.t << " s";
    }

    // One marker for each line of the trace, where it says, and no other.
    int markers = 0;
    for (int r = 0; r < c.rows; r++) {
        double y = picture::holey(perf, r * picture::rowseconds, 127) - picture::holestop +
                   picture::actionsline - 2.0;
        for (int x = 0; x < image.width(); x++) {
            markers += image.is(x, y, picture::stopcontrol) ? 1 : 0;
        }
    }
    EXPECT_EQ(markers, static_cast<int>(actions.size()));
    for (double t : actions) {
        double y = picture::holey(perf, t, 127) - picture::holestop + picture::actionsline - 2.0;
        EXPECT_TRUE(image.is(picture::timex(t), y, picture::stopcontrol)) << "action at " << t;
        // Its label just right of it, in the same colour.
        int label = 0;
        for (double dx = 3.0; dx < 40.0; dx++) {
            for (double dy = -11.0; dy < -2.0; dy++) {
                label += image.is(picture::timex(t) + dx, y + dy, picture::stopcontrol, 60) ? 1 : 0;
            }
        }
        EXPECT_GE(label, 20) << "label of the action at " << t;
    }
}

// The PDF drawn again page by page at one pixel a picture pixel: down the
// lead left of time 0 each row shows its paper the full height of the tracker
// bar; a row cut at the foot of a page shows less.
void checkpages(const Folder& folder, const PictureCase& c) {
    const double perpoint = picture::width / (picture::a4width - 2 * picture::a4margin);
    RunResult drawn = e2e::run(folder, {PDFTOPPM, "-r", std::to_string(72.0 * perpoint), "-png",
                                        folder.file("out.pdf"), folder.file("page")});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    const double x = picture::a4margin * perpoint + picture::left - 3.0;
    const int whole = static_cast<int>(128 * picture::holepitch) - 2;
    int rows = 0;
    for (int page = 1; page <= c.pages; page++) {
        Image image(folder.file("page-" + std::to_string(page) + ".png"));
        ASSERT_TRUE(image.good()) << "page " << page;
        for (int y = 0, run = 0; y <= image.height(); y++) {
            if (y < image.height() && image.is(x, y, paper)) {
                run++;
                continue;
            }
            if (run > 0) {
                EXPECT_GE(run, whole) << "a row cut short on page " << page << " at y " << y;
                rows += run >= whole ? 1 : 0;
            }
            run = 0;
        }
    }
    EXPECT_EQ(rows, c.rows);
}

class RenderPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(RenderPicture, SvgPngAndPdfShowTheRoll) {
    const PictureCase& c = GetParam();
    Folder folder;
    std::string roll = folder.file("roll.mid");
    Roll made;
    c.make(made);
    made.write(roll);
    spool speedup;
    speedup.on = c.spooldiameter > 0.0;
    speedup.diameter = speedup.on ? c.spooldiameter : speedup.diameter;
    const std::string report = e2e::interpretfile(roll, c.option, speedup).report;
    std::vector<double> actions;
    for (const e2e::TraceLine& line : e2e::traceactions(report)) {
        actions.push_back(line.t);
    }
    ASSERT_EQ(static_cast<int>(actions.size()), c.actions) << report;
    const performance perf = e2e::watch(roll, c.option, speedup);

    const std::string diameter = "--spool-diameter=" + std::to_string(c.spooldiameter);
    for (const char* output : {"out.svg", "out.png", "out.pdf"}) {
        std::vector<std::string> args = {RENDER_BIN, roll, output, c.option};
        if (speedup.on) {
            args.push_back(diameter);
        }
        RunResult run = e2e::run(folder, args);
        ASSERT_FALSE(run.hung);
        ASSERT_EQ(run.status, 0) << run.out << run.err;
        const size_t line = run.out.find("Speed-up: ");
        EXPECT_EQ(line != std::string::npos, speedup.on);
        EXPECT_EQ(run.out,
                  report +
                      run.out.substr(report.size(),
                                     speedup.on ? run.out.find('\n', line) + 1 - line : 0) +
                      "Picture written to " + output + "\n");
    }
    // Well-formed, with every registration named as text.
    RunResult xml = e2e::run(
        folder, {XMLLINT, "--xpath", "//*[local-name()='text']//text()", folder.file("out.svg")});
    EXPECT_EQ(xml.status, 0) << xml.err;
    for (const stopaction& a : perf.actions) {
        for (int program : {a.swellprogram, a.swellprogram + 60}) {
            EXPECT_NE(xml.out.find(registrationName(program)), std::string::npos) << a.label;
        }
    }
    // Under each row's start, the time played there.
    for (int r = 0; r < c.rows; r++) {
        const long played = std::lround(spoolplayed(perf.rate, r * picture::rowseconds));
        char clock[48];
        std::snprintf(clock, sizeof clock, "%02ld:%02ld", played / 60, played % 60);
        EXPECT_NE(xml.out.find(clock), std::string::npos) << "row " << r;
    }
    RunResult rsvg =
        e2e::run(folder, {RSVG_CONVERT, "-o", folder.file("rsvg.png"), folder.file("out.svg")});
    ASSERT_EQ(rsvg.status, 0) << rsvg.err;
    checkimage(folder.file("rsvg.png"), c, perf, actions);
    checkimage(folder.file("out.png"), c, perf, actions);

    RunResult info = e2e::run(folder, {PDFINFO, folder.file("out.pdf")});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\nPages:           " + std::to_string(c.pages) + "\n"),
              std::string::npos)
        << info.out;
    checkpages(folder, c);
}

std::string casename(const ::testing::TestParamInfo<PictureCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rolls, RenderPicture, ::testing::ValuesIn(cases), casename);

// A roll whose last hole lies past the limit gets no picture or page, and
// leaves no file.
TEST(RenderPictureRefusal, RollTooLong) {
    const struct {
        const char* output;
        double seconds;
        const char* line;
    } limits[] = {{"out.png", 4 * 3600.0 + 60.0, "Roll too long for a picture (over 4 hours)"},
                  {"out.html", 31 * 60.0, "Roll too long for a page (over 30 minutes)"}};
    for (const auto& c : limits) {
        if (std::string(c.output) == "out.html" && !e2e::exists(BANK_PATH)) {
            continue; // a page needs the bank before the roll is read
        }
        Folder folder;
        std::string roll = folder.file("roll.mid");
        Roll made;
        made.tempo(500000).required(0);
        holeat(made, 6, c.seconds, c.seconds + 1.0).write(roll);
        RunResult run = e2e::run(folder, {RENDER_BIN, roll, c.output});
        EXPECT_EQ(run.status, 1) << c.output;
        EXPECT_NE(run.out.find(std::string("\n") + c.line + "\n"), std::string::npos) << run.out;
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"roll.mid"});
    }
}

} // namespace
