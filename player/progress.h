// The one-line progress display on standard error while a score plays or
// renders: elapsed / total time and a bar. Shown only when standard error is a
// terminal, so logs and pipes stay clean; standard output is never touched.
#ifndef VENNOR_PLAYER_PROGRESS_H
#define VENNOR_PLAYER_PROGRESS_H

#include <string>

// True when standard error is a terminal (asked once).
bool progressshown();

// Seconds of the output score at the output tempo for a tick count, with the
// spool's speed-up in force: exact up to the tempo events' rounding.
double tickseconds(long long ticks);

// Length of the output score in seconds: its last event, at the output tempo.
double scoreseconds();

// "M:SS", or "H:MM:SS" from one hour on; whole seconds, never negative.
std::string clocktext(double seconds);

// The display for a line of `width` columns: "elapsed / total [####----]".
// Elapsed is held within 0 to total; the bar takes the columns the times leave,
// and is left out when not even one cell of it fits.
std::string progressline(double elapsed, double total, int width);

// Redraws the line in place when shown, at most ten times a second and only
// when it changed.
void drawprogress(double elapsed, double total);

// When anything was drawn: the line once more at its end, then a newline, so
// that what follows starts on a line of its own.
void endprogress();

#endif
