// The one drawing routine behind every output that shows the roll: header,
// legend and rows, onto any canvas.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "canvas.h"
#include "picture.h"
#include "picture_draw.h"
#include "spool.h"
#include "stops.h"

namespace picture {

namespace {

const colour ink{0.15, 0.15, 0.15};
const colour faint{0.45, 0.45, 0.45};
const colour gridline{0.85, 0.85, 0.85};
const colour band{0.955, 0.955, 0.955};

// The kinds of hole, in the legend's order.
const colour* const kinds[] = {&pedal, &swell, &great, &stopcontrol, &shade, &ignored};
const char* const kindnames[] = {"pedal",        "swell",        "great",
                                 "stop control", "swell shades", "ignored by the organ"};
const int kindcount = 6;

int kindof(int hole) {
    const colour* c = &holecolour(hole);
    for (int i = 0; i < kindcount; i++) {
        if (kinds[i] == c) {
            return i;
        }
    }
    return kindcount - 1;
}

const double plotwidth = rowseconds * pixelspersecond;
const double holesheight = 128 * holepitch;
const double shadetop = 52.0;
const double shadeheight = 30.0;
const double headertop = 36.0; // baseline of the title
const double headerline = 19.0;
const double legendheight = 40.0;
const double lineheight = 16.0; // of the actions, swell and great lines

// One stretch of an opening within a row, in row units.
struct bar {
    double x0, x1, y;
};
using rowbars = std::array<std::vector<bar>, kindcount>;

void text(canvas& cv, double x, double y, const std::string& words, double size, const colour& c,
          bool bold = false) {
    cv.text(x, y, words, size, c, bold);
}

// The first n characters (code points) of UTF-8 words.
std::string firstchars(const std::string& words, size_t n) {
    size_t end = 0;
    for (size_t count = 0; end < words.size() && count < n; count++) {
        end++;
        while (end < words.size() && (static_cast<unsigned char>(words[end]) & 0xC0) == 0x80) {
            end++;
        }
    }
    return words.substr(0, end);
}

size_t charcount(const std::string& words) {
    size_t n = 0;
    for (unsigned char c : words) {
        n += (c & 0xC0) != 0x80;
    }
    return n;
}

std::vector<std::string> split(const std::string& words, const std::string& by) {
    std::vector<std::string> parts;
    for (size_t from = 0;;) {
        size_t at = words.find(by, from);
        parts.push_back(words.substr(from, at - from));
        if (at == std::string::npos) {
            return parts;
        }
        from = at + by.size();
    }
}

// A stop list with every word of over six letters cut to five and a full
// stop ("Tromp. 8', Flûte harmo. 8'"); the pitches stay whole.
std::string abbreviated(const std::string& words) {
    std::string out;
    for (const std::string& stop : split(words, ", ")) {
        std::string name;
        for (const std::string& word : split(stop, " ")) {
            name += (name.empty() ? "" : " ") +
                    (charcount(word) > 6 ? firstchars(word, 5) + "." : word);
        }
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

// The longest form of words that fits in room pixels: whole; for a stop
// list, its names abbreviated, then its first stops and an ellipsis; then its
// first characters and an ellipsis; empty when not even that fits.
std::string fitted(canvas& cv, const std::string& words, double size, bool bold, double room,
                   bool stoplist) {
    auto fits = [&](const std::string& w) { return cv.textwidth(w, size, bold) <= room; };
    if (fits(words)) {
        return words;
    }
    const std::string shorter = stoplist ? abbreviated(words) : words;
    if (fits(shorter)) {
        return shorter;
    }
    const std::vector<std::string> whole =
        stoplist ? split(words, ", ") : std::vector<std::string>{words};
    const std::vector<std::string> stops =
        stoplist ? split(shorter, ", ") : std::vector<std::string>{words};
    // As many stops as fit, their names whole where they can be.
    for (size_t n = stops.size() - 1; n >= 1; n--) {
        std::string first, firstshort;
        for (size_t i = 0; i < n; i++) {
            first += whole[i] + ", ";
            firstshort += stops[i] + ", ";
        }
        for (const std::string& form : {first, firstshort}) {
            if (fits(form + "\u2026")) {
                return form + "\u2026";
            }
        }
    }
    for (size_t n = charcount(stops[0]); n-- > 0;) {
        std::string cut = firstchars(stops[0], n);
        while (!cut.empty() && (cut.back() == ' ' || cut.back() == ',')) {
            cut.pop_back();
        }
        if (fits(cut + "\u2026")) {
            return cut + "\u2026";
        }
    }
    return "";
}

// Text that never runs past its room: shortened, with the whole of it kept
// (as the SVG's hover title) when it had to be.
void fittext(canvas& cv, double x, double y, const std::string& words, double size, const colour& c,
             double room, bool bold = false, bool stoplist = false) {
    const std::string shown = fitted(cv, words, size, bold, room, stoplist);
    if (!shown.empty()) {
        cv.shortened(x, y, shown, words, size, c, bold);
    }
}

// A line one pixel wide on the pixel grid, from y0 to y1 at x.
void vline(canvas& cv, double x, double y0, double y1, const colour& c) {
    double px = std::floor(x) + 0.5;
    cv.line({{px, y0}, {px, y1}}, 1.0, c);
}

std::string clock(double seconds) {
    long s = std::lround(seconds);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld", s / 60, s % 60);
    return buf;
}

std::string fixed1(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f", value);
    return buf;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& p : parts) {
        all += (all.empty() ? "" : " / ") + p;
    }
    return all;
}

int rowof(double t) {
    return static_cast<int>(std::floor(t / rowseconds));
}

double xin(double t, int row) {
    return left + (t - row * rowseconds) * pixelspersecond;
}

// Every opening cut into the rows it crosses, by kind: one path a kind a row.
std::vector<rowbars> cutbars(const performance& perf, int rows) {
    std::vector<rowbars> bars(static_cast<size_t>(rows));
    for (const holeopening& h : perf.holes) {
        double start = std::fmax(h.start, 0.0);
        double end = std::isfinite(h.end) ? h.end : perf.seconds;
        if (!(end >= start) || h.hole < 0 || h.hole > 127) {
            continue;
        }
        const int kind = kindof(h.hole);
        const double y = holestop + (127 - h.hole) * holepitch;
        const int first = rowof(start);
        const int last = std::min(rowof(end), rows - 1);
        for (int r = first; r <= last; r++) {
            double a = std::fmax(start, r * rowseconds);
            double b = std::fmin(end, (r + 1) * rowseconds);
            if (b <= a && r > first) {
                continue;
            }
            double x0 = xin(a, r);
            double x1 = std::fmax(xin(b, r), x0 + 1.0); // the shortest hole still shows
            bars[static_cast<size_t>(r)][static_cast<size_t>(kind)].push_back({x0, x1, y});
        }
    }
    return bars;
}

void drawheader(canvas& cv, const performance& perf) {
    const double room = width - 40.0;
    double y = headertop;
    fittext(cv, 20.0, y, rolltitle(perf), 20.0, ink, room, true);
    y += 8.0;
    for (const std::string& c : perf.copyrights) {
        fittext(cv, 20.0, y += headerline, readable("Copyright: " + c), 13.0, ink, room);
    }
    for (const std::string& t : perf.texts) {
        fittext(cv, 20.0, y += headerline, readable(t), 13.0, ink, room);
    }
    text(cv, 20.0, y += headerline,
         "Input tempo: " + fixed1(perf.inputtempo) +
             "    Tempo played: " + fixed1(perf.tempoplayed) +
             "    Playing time: " + std::to_string(perf.playingseconds / 60) + " minutes " +
             std::to_string(perf.playingseconds % 60) + " seconds",
         13.0, ink);
    if (perf.rate > 0.0) {
        char spooled[200];
        std::snprintf(spooled, sizeof spooled,
                      "Take-up spool %g mm, paper %g mm: the tempo rises from %.1f to %.1f. The "
                      "rows are the paper; the times under them are the times played.",
                      perf.speedup.diameter, perf.speedup.thickness, perf.tempoplayed,
                      perf.tempoplayed *
                          (1.0 + perf.rate * spoolplayed(perf.rate, perf.seconds) / 2.0));
        text(cv, 20.0, y += headerline, spooled, 13.0, ink);
    }
    text(cv, 20.0, y += headerline, "Pedal throughout: " + registrationName(0), 13.0, ink);

    // The legend: a swatch for every kind of hole, then the two lines.
    y += 22.0;
    double x = 20.0;
    for (int i = 0; i < kindcount; i++) {
        cv.fill({{x, y - 9.0, 16.0, 9.0}}, *kinds[i]);
        text(cv, x + 21.0, y, kindnames[i], 12.0, ink);
        x += 21.0 + cv.textwidth(kindnames[i], 12.0, false) + 18.0;
    }
    vline(cv, x, y - 11.0, y + 2.0, stopcontrol);
    text(cv, x + 5.0, y, "sc1= 1 ... stop-control action, as the s trace", 12.0, ink);
    x += 300.0;
    cv.line({{x, y - 2.0}, {x + 8.0, y - 2.0}, {x + 8.0, y - 9.0}, {x + 16.0, y - 9.0}}, 1.5,
            shade);
    text(cv, x + 21.0, y, "swell shades, 0 closed to 3 open", 12.0, ink);
}

// The registration of one manual from each action on, clipped to its stretch.
void drawregistration(canvas& cv, const performance& perf, int row, double top, int firstprogram,
                      int offset, const colour& c) {
    struct change {
        double t;
        int program;
    };
    std::vector<change> changes = {{0.0, firstprogram}};
    for (const stopaction& a : perf.actions) {
        changes.push_back({a.t, a.swellprogram + offset});
    }
    const double rowstart = row * rowseconds, rowend = rowstart + rowseconds;
    for (size_t i = 0; i < changes.size(); i++) {
        double from = std::fmax(changes[i].t, rowstart);
        double to = i + 1 < changes.size() ? std::fmin(changes[i + 1].t, rowend) : rowend;
        if (to <= from) {
            continue;
        }
        double x0 = xin(from, row), x1 = xin(to, row);
        fittext(cv, x0 + 3.0, top + 12.0, registrationName(changes[i].program), 11.0, c,
                x1 - x0 - 6.0, false, true);
    }
}

void drawrow(canvas& cv, const performance& perf, const rowbars& bars, int row) {
    const double rowstart = row * rowseconds;
    const double holesbottom = holestop + holesheight;
    // The paper, as far as the roll goes; the shade band; the grid.
    double paperend = std::fmin(perf.seconds - rowstart, rowseconds);
    cv.fill({{left - paperlead, holestop, paperlead + std::fmax(paperend, 0.0) * pixelspersecond,
              holesheight}},
            paper);
    cv.fill({{left, shadetop, plotwidth, shadeheight}}, band);
    for (int k = 0; k <= 6; k++) {
        double x = left + k * 10.0 * pixelspersecond;
        vline(cv, x, lineheight, holesbottom, gridline);
        if (k < 6) {
            text(cv, x + 2.0, holesbottom + 13.0,
                 clock(spoolplayed(perf.rate, rowstart + k * 10.0)), 10.0, faint);
        }
    }

    // The holes, one path for each kind.
    for (int k = 0; k < kindcount; k++) {
        std::vector<box> boxes;
        for (const bar& b : bars[static_cast<size_t>(k)]) {
            boxes.push_back({b.x0, b.y, b.x1 - b.x0, holepitch - 1.0});
        }
        cv.fill(boxes, *kinds[k]);
    }

    // The margin: what each line and each part of the tracker bar holds.
    text(cv, 8.0, 12.0, "stop actions", 9.0, faint);
    text(cv, 8.0, lineheight + 12.0, "swell", 9.0, faint);
    text(cv, 8.0, 2 * lineheight + 12.0, "great", 9.0, faint);
    text(cv, 8.0, shadetop + 19.0, "shades 0-3", 9.0, faint);
    auto holelabel = [&](int hole, const char* words) {
        text(cv, 8.0, holestop + (127 - hole) * holepitch + 4.0, words, 9.0, faint);
    };
    holelabel(124, "121-125");
    holelabel(75, "30-120 great");
    holelabel(71, "+ swell");
    holelabel(18, "6-29 pedal");
    holelabel(14, "+ swell");
    holelabel(2, "1-5 stops");

    // The swell shades as a stepped line.
    auto shadey = [](int level) { return shadetop + shadeheight - 4.0 - level * 7.0; };
    int level = 3;
    size_t next = 0;
    while (next < perf.shades.size() && perf.shades[next].t <= rowstart) {
        level = perf.shades[next++].shades;
    }
    const double rowend = std::fmin(rowstart + rowseconds, std::fmax(perf.seconds, rowstart));
    std::vector<point> steps = {{left, shadey(level)}};
    for (; next < perf.shades.size() && perf.shades[next].t < rowend; next++) {
        double x = xin(perf.shades[next].t, row);
        steps.push_back({x, shadey(level)});
        level = perf.shades[next].shades;
        steps.push_back({x, shadey(level)});
    }
    steps.push_back({xin(rowend, row), shadey(level)});
    cv.line(steps, 1.5, shade);

    // The registration on each manual, and the actions that change it.
    drawregistration(cv, perf, row, lineheight, 10, 0, swell);
    drawregistration(cv, perf, row, 2 * lineheight, 70, 60, great);
    std::vector<const stopaction*> here;
    for (const stopaction& a : perf.actions) {
        if (rowof(a.t) == row) {
            here.push_back(&a);
        }
    }
    std::stable_sort(here.begin(), here.end(),
                     [](const stopaction* a, const stopaction* b) { return a->t < b->t; });
    // Each label right of its marker, or left of it where the next marker
    // comes too soon, or shortened: never over another label.
    double free = left; // the line is free from here on
    for (size_t i = 0; i < here.size(); i++) {
        const double x = std::floor(xin(here[i]->t, row));
        const double after = i + 1 < here.size() ? std::floor(xin(here[i + 1]->t, row)) : width;
        const double w = cv.textwidth(here[i]->label, 11.0, false);
        vline(cv, x, 2.0, 3 * lineheight, stopcontrol);
        if (x + 4.0 + w <= after - 3.0) {
            text(cv, x + 4.0, 12.0, here[i]->label, 11.0, stopcontrol);
            free = x + 4.0 + w + 3.0;
        } else if (x - 3.0 - w >= free) {
            text(cv, x - 3.0 - w, 12.0, here[i]->label, 11.0, stopcontrol);
            free = x + 1.0;
        } else {
            fittext(cv, x + 4.0, 12.0, here[i]->label, 11.0, stopcontrol, after - x - 7.0);
            free = after;
        }
    }
}

} // namespace

// Roll texts as UTF-8: valid UTF-8 stays, any other byte is read
// as Latin-1, control characters become spaces.
std::string readable(const std::string& bytes) {
    std::string out;
    size_t i = 0;
    auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    auto cont = [&](size_t k) { return k < bytes.size() && (at(k) & 0xC0) == 0x80; };
    while (i < bytes.size()) {
        unsigned char b = at(i);
        size_t n = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            n = 1;
        } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && !(b == 0xE0 && at(i + 1) < 0xA0) &&
                   !(b == 0xED && at(i + 1) > 0x9F)) {
            n = 2;
        } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && !(b == 0xF0 && at(i + 1) < 0x90) &&
                   !(b == 0xF4 && at(i + 1) > 0x8F)) {
            n = 3;
        }
        bool whole = n > 0;
        for (size_t k = 1; k <= n; k++) {
            whole = whole && cont(i + k);
        }
        if (whole) {
            out.append(bytes, i, n + 1);
            i += n + 1;
            continue;
        }
        if (b < 0x20 || b == 0x7F) {
            out.push_back(' ');
        } else if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
        i++;
    }
    return out;
}

std::string rolltitle(const performance& perf) {
    return readable(perf.titles.empty() ? "(untitled roll)" : joined(perf.titles));
}

void drawpicture(canvas& cv, const performance& perf, double pageheight) {
    const int rows = rowcount(perf);
    std::vector<rowbars> bars = cutbars(perf, rows);
    drawheader(cv, perf);
    double y = headerheight(perf);
    for (int r = 0; r < rows; r++) {
        if (pageheight > 0.0 && y + rowheight > pageheight) {
            cv.newpage();
            y = 0.0;
        }
        cv.push(y);
        drawrow(cv, perf, bars[static_cast<size_t>(r)], r);
        cv.pop();
        y += rowheight;
    }
}

const colour& holecolour(int hole) {
    if ((hole >= 1 && hole <= 5) || hole == 125) {
        return stopcontrol;
    }
    if (hole >= 6 && hole <= 120) {
        return hole % 2 == 1 ? swell : hole <= 28 ? pedal : great;
    }
    if (hole == 122) {
        return great; // a soft great note, two seconds late
    }
    if (hole == 123 || hole == 124) {
        return shade;
    }
    return ignored;
}

int rowcount(const performance& perf) {
    int rows = static_cast<int>(std::ceil(perf.seconds / rowseconds));
    return rows < 1 ? 1 : rows;
}

double headerheight(const performance& perf) {
    double lines = static_cast<double>(perf.copyrights.size() + perf.texts.size() + 2) +
                   (perf.rate > 0.0 ? 1.0 : 0.0);
    return headertop + 8.0 + lines * headerline + legendheight;
}

double timex(double t) {
    return xin(t, rowof(t));
}

double holey(const performance& perf, double t, int hole) {
    return headerheight(perf) + rowof(t) * rowheight + holestop + (127 - hole) * holepitch +
           (holepitch - 1.0) / 2.0;
}

} // namespace picture
