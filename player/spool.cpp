// The take-up spool's speed-up, as tempo events of the output score.
#include "spool.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "emission.h"
#include "header.h"
#include "progress.h"
#include "score.h"
#include "state.h"

spool speedup;

namespace {

// Each tempo event that FluidSynth's player meets moves its clock by a
// fraction of a millisecond, so the events are as few as keep every tick
// within half a tick of the law; and never more than this many.
const long long mostevents = 100000;

const double pi = 3.14159265358979323846;

long long lasttick() {
    long long last = 0;
    for (int track = 0; track < outputfile.getTrackCount(); track++) {
        for (int i = 0; i < outputfile.getNumEvents(track); i++) {
            last = std::max<long long>(last, outputfile.getEvent(track, i).time);
        }
    }
    return last;
}

void addtempo(long long tick, long long micro) {
    makeroom(tempotrack);
    addtempoat(static_cast<int>(tick), static_cast<int>(micro));
}

} // namespace

double spoolrate() {
    if (!speedup.on) {
        return 0.0;
    }
    const double d = speedup.diameter / 1000.0, t = speedup.thickness / 1000.0;
    // The paper moves at spoolpaperspeed at the roll's tempo, faster at a
    // faster tempo played.
    const double rate = 4.0 * t / (pi * d * d) * spoolpaperspeed * optempo / iptempo;
    return std::isfinite(rate) && rate > 0.0 ? rate : 0.0;
}

double spoolplayed(double c, double paper) {
    if (!(c > 0.0) || !(paper > 0.0) || !std::isfinite(paper)) {
        return paper;
    }
    // 2 (sqrt(1 + c s) - 1) / c, without the cancellation for small c s.
    return 2.0 * paper / (1.0 + std::sqrt(1.0 + c * paper));
}

double spoolpaper(double c, double played) {
    if (!(c > 0.0) || !(played > 0.0) || !std::isfinite(played)) {
        return played;
    }
    return played * (1.0 + c * played / 4.0);
}

void spoolspeedup(const spool& s) {
    speedup = s;
    const double rate = spoolrate();
    if (rate == 0.0 || tpq <= 0) {
        return;
    }
    const long long last = lasttick();
    const double ticksecond = 60.0 / (tpq * optempo); // paper seconds a tick
    // Between two events the score plays at a steady tempo where the law
    // bends: after s seconds of paper the times part by at most rate s^2 / 16.
    const double stepseconds = std::sqrt(8.0 * ticksecond / rate);
    const long long step = std::max<long long>({1, static_cast<long long>(stepseconds / ticksecond),
                                                (last + mostevents - 1) / mostevents});
    // The first step plays at the tempo event of tick 0; each later event's
    // tempo makes the score reach the law's time at the next step, so that
    // the rounding to whole microseconds never adds up.
    double reached = step * tempomicroseconds(optempo) / (1.0e6 * tpq);
    for (long long tick = step; tick < last; tick += step) {
        const long long next = std::min(tick + step, last);
        const double target = spoolplayed(rate, next * ticksecond);
        const long long micro = std::min<long long>(
            std::max<long long>(std::llround((target - reached) * 1.0e6 * tpq / (next - tick)), 1),
            16777215);
        addtempo(tick, micro);
        reached += (next - tick) * static_cast<double>(micro) / (1.0e6 * tpq);
    }
}

namespace {

// A millimetre value of an option: all of the text after '=', a number
// within the bounds (text that is no number, "nan" included, is refused).
double millimetres(const char* text, double least, double most, const char* refusal) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= least && value <= most)) {
        std::cout << refusal << std::endl;
        std::exit(1);
    }
    return value;
}

} // namespace

bool spooloption(const char* option, spool& s) {
    const std::string word = option;
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const char* value = equals == std::string::npos ? nullptr : option + equals + 1;
    if (name == "--speed-up" && value == nullptr) {
        s.on = true;
    } else if (name == "--spool-diameter" && value != nullptr) {
        s.on = true;
        s.diameter =
            millimetres(value, 20.0, 500.0, "Spool diameter must be between 20 and 500 mm");
    } else if (name == "--paper-thickness" && value != nullptr) {
        s.on = true;
        s.thickness =
            millimetres(value, 0.01, 1.0, "Paper thickness must be between 0.01 and 1 mm");
    } else {
        return false;
    }
    return true;
}

void printspeedup() {
    if (spoolrate() == 0.0) {
        return;
    }
    char line[160];
    std::snprintf(line, sizeof line,
                  "Speed-up: take-up spool %g mm, paper %g mm: tempo %.1f at the start, %.1f at "
                  "the end",
                  speedup.diameter, speedup.thickness, optempo,
                  optempo * (1.0 + spoolrate() * scoreseconds() / 2.0));
    std::cout << line << std::endl;
}
