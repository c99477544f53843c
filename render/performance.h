// What a roll does over time, as the interpretation found it: every hole
// opening, the swell shade steps, the stop-control actions and the header
// texts, gathered through the interpretation's watchers for a picture.
#ifndef VENNOR_RENDER_PERFORMANCE_H
#define VENNOR_RENDER_PERFORMANCE_H

#include <string>
#include <vector>

#include "spool.h"

// Times are seconds at the tempo played once finishperformance has run: with
// the spool's speed-up, seconds of paper, which spoolplayed(rate, t) turns
// into seconds of playing.
struct holeopening {
    int hole;
    double start;
    double end; // HUGE_VAL: the hole never closes
};

struct shadestep {
    double t;   // from here on
    int shades; // 0 (closed) to 3 (open)
};

struct stopaction {
    double t;
    int n;             // stop control 1 to 6
    bool together;     // with the swell shades
    int count;         // 1 or 2
    int swellprogram;  // the great's is 60 more
    std::string label; // as the trace names it: "sc3A= 1"
};

struct performance {
    std::vector<holeopening> holes;
    std::vector<shadestep> shades; // starts with the open shades at 0
    std::vector<stopaction> actions;
    std::vector<std::string> titles, copyrights, texts;
    double inputtempo = 0.0;
    double tempoplayed = 0.0;
    long long playingseconds = 0; // as the report prints it
    double seconds = 0.0;         // the end of the last thing drawn
    spool speedup;                // the spool in force
    double rate = 0.0;            // its spoolrate()
};

extern performance watched;

// Empties `watched` and sets the interpretation's watchers to fill it.
void watchperformance();

// After the roll has been prepared: the tempi and the playing time, and every
// time converted from the roll's seconds to seconds at the tempo played.
void finishperformance();

#endif
