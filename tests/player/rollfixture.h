// Helpers for the player's unit tests: a roll built in memory and run through
// the player's own preparation steps, and the output score read back.
#ifndef VENNOR_TESTS_ROLLFIXTURE_H
#define VENNOR_TESTS_ROLLFIXTURE_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/roll.h"
#include "rollcore.h"

// From a fresh state, the first two steps of preparescore on a roll built in
// memory: the roll's check, then its interpretation into the output score.
// Returns lastendtime.
inline double interpret(Roll& roll, bool trace = false) {
    resetplayerstate();
    sc = trace;
    checkroll(roll.score);
    return interpretroll(roll.score);
}

// All three steps: interpret() and serialiseroll(), which refuses a roll that
// is no Estey e-roll. Returns the serialised score.
inline std::string prepare(Roll& roll, bool trace = false) {
    const double lastendtime = interpret(roll, trace);
    std::string op_string;
    serialiseroll(lastendtime, op_string);
    return op_string;
}

// A fresh state with an output score of 16 empty tracks at 192 ticks per
// quarter, for calling the emitters directly.
inline void emptyscore() {
    resetplayerstate();
    tpq = 192;
    outputfile.absoluteTime();
    outputfile.addTrack(15);
    outputfile.setTicksPerQuarterNote(192);
}

// The events of an output track, in the order they were added.
inline std::vector<Ev> trackevents(int track) {
    return eventsof(outputfile, track);
}

// The events added after the frame: drops the first `skip` (track name,
// program change, program-name text of the frame).
inline std::vector<Ev> addedevents(int track) {
    static const int frame[4] = {1, 3, 2, 2};
    std::vector<Ev> all = trackevents(track);
    int skip = track < 4 ? frame[track] : 0;
    return std::vector<Ev>(all.begin() + skip, all.end());
}

// The events of an output track whose status byte, masked, is `status`.
inline std::vector<Ev> matching(int track, int mask, int status) {
    std::vector<Ev> out;
    for (const Ev& e : trackevents(track)) {
        if ((e.bytes[0] & mask) == status) {
            out.push_back(e);
        }
    }
    return out;
}

// Only the note events (status 8x/9x) of an output track.
inline std::vector<Ev> notes(int track) {
    return matching(track, 0xE0, 0x80);
}

// Only the program changes of an output track, frame included.
inline std::vector<Ev> programs(int track) {
    return matching(track, 0xF0, 0xC0);
}

#endif
