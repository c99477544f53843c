// A roll arrangement as the score text describes it: header texts, tempo,
// and every hole of the roll as a span of ticks. Musical names (divisions,
// pitches, bars and beats) are resolved to hole numbers and ticks here, so
// the writer only has to lay the spans out as note events.
#ifndef VENNOR_EXAMPLES_SCORE_H
#define VENNOR_EXAMPLES_SCORE_H

#include <istream>
#include <map>
#include <string>
#include <vector>

// One perforation: the hole opens at `start` and closes at `end` (ticks).
struct HoleSpan {
    int hole = 0;
    long start = 0;
    long end = 0;
    int line = 0;     // score line it came from, for messages
    bool note = true; // false for stop and shade holes, which lifts leave alone
};

// The hands leave every note-playing hole `length` ticks before tick `at`.
struct Lift {
    long at = 0;
    long length = 0;
    int line = 0;
};

struct Score {
    std::string title;
    std::string copyright;
    std::vector<std::string> texts;
    int tpq = 192;
    double tempo = 0.0;      // beats per minute; 0 writes no tempo event
    int meter = 4;           // beats per bar
    double release = 0.0625; // beats each note hole closes early, so repeats re-strike
    double breath = 0.25;    // beats of silence before a registration change
    std::map<std::string, std::vector<std::string>> phrases;
    std::vector<HoleSpan> holes;
    std::vector<Lift> lifts;
};

// Hole numbers of the Estey roll for a pitch on a division, or 0 when the
// division has no such pitch. Division: "pedal", "swell" or "great".
int holeFor(const std::string& division, int pitch);

// "C4" is 60; sharps with '#', flats with 'b'. Returns -1 for bad text.
int parsePitch(const std::string& text);

// Reads a whole score. On failure returns false with "line N: what" in error.
bool parseScore(std::istream& in, Score& score, std::string& error);

// Closes the holes still open at a lift early, merges overlapping spans of
// one hole and checks every span. Returns false with a message on a fault.
bool finishScore(Score& score, std::string& error);

#endif
