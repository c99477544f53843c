#include "performance.h"

#include <cmath>

#include "header.h"
#include "holes.h"
#include "registration.h"
#include "serialise.h"
#include "state.h"

performance watched;

namespace {

double lastend = 0.0;

void onhole(int hole, double start, double end) {
    watched.holes.push_back({hole, start, end});
    if (std::isfinite(end)) {
        lastend = end;
    }
    // The shades move when a swell hole closes.
    if ((hole == 123 || hole == 124) && std::isfinite(end)) {
        watched.shades.push_back({end, shades});
    }
}

void onstop(double t, int n, bool together, int count, int swellprogram) {
    // An untimed action (a roll tempo of 0) has no place in time.
    if (!std::isfinite(t)) {
        return;
    }
    std::string label =
        "sc" + std::to_string(n) + (together ? "A" : "") + "= " + std::to_string(count);
    watched.actions.push_back({t, n, together, count, swellprogram, label});
}

void ontext(int type, const std::string& text) {
    // The score keeps a text up to its first zero byte; so does the picture.
    std::string words = text.substr(0, text.find('\0'));
    (type == 3 ? watched.titles : type == 2 ? watched.copyrights : watched.texts).push_back(words);
}

} // namespace

void watchperformance() {
    watched = performance();
    watched.shades.push_back({0.0, 3});
    lastend = 0.0;
    holewatch = onhole;
    stopwatch = onstop;
    textwatch = ontext;
}

void finishperformance() {
    watched.inputtempo = iptempo;
    watched.tempoplayed = optempo;
    watched.playingseconds = playingseconds(lastend);
    watched.speedup = speedup;
    watched.rate = spoolrate();
    const double scale = iptempo / optempo;
    double last = lastend * scale;
    for (holeopening& h : watched.holes) {
        h.start *= scale;
        h.end *= scale;
        last = std::fmax(last, std::isfinite(h.end) ? h.end : h.start);
    }
    for (shadestep& s : watched.shades) {
        s.t *= scale;
    }
    for (stopaction& a : watched.actions) {
        a.t *= scale;
    }
    watched.seconds = std::isfinite(last) ? last : 0.0;
}
