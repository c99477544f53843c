// Helpers for the player's unit tests: rolls built in memory, the
// interpretation run on them, and the output score read back.
#ifndef VENNOR_TESTS_ROLLFIXTURE_H
#define VENNOR_TESTS_ROLLFIXTURE_H

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/bytearray.h"
#include "rollcore.h"

// One event of the output score as the tests compare it.
struct Ev {
    int tick;
    std::vector<int> bytes;
    bool operator==(const Ev& o) const { return tick == o.tick && bytes == o.bytes; }
};

inline std::ostream& operator<<(std::ostream& out, const Ev& e) {
    out << "{" << e.tick << ":";
    for (int b : e.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", b);
        out << hex;
    }
    return out << "}";
}

// A roll in absolute ticks, one track, 192 ticks per quarter unless told.
class Roll {
  public:
    explicit Roll(int ticks = 192) {
        score.absoluteTime(); // an empty score: only marks it absolute
        score.setTicksPerQuarterNote(ticks);
    }
    Roll& on(int tick, int hole, int status = 0x90) { return bytes(tick, {status, hole, 64}); }
    Roll& off(int tick, int hole, int status = 0x80, int velocity = 64) {
        return bytes(tick, {status, hole, velocity});
    }
    // One hole open from tick a to tick b.
    Roll& hole(int hole, int a, int b) { return on(a, hole).off(b, hole); }
    Roll& bytes(int tick, const std::vector<int>& data) {
        score.addEvent(0, tick, bytearray(data));
        return *this;
    }
    Roll& meta(int tick, int type, const std::string& text) {
        Array<unsigned char> payload;
        payload.setSize(static_cast<int64_t>(text.size()));
        for (size_t i = 0; i < text.size(); i++) {
            payload[static_cast<int>(i)] = static_cast<unsigned char>(text[i]);
        }
        score.addMetaEvent(0, tick, type, payload);
        return *this;
    }
    Roll& tempo(int tick, int micro) {
        return bytes(tick,
                     {0xFF, 0x51, 0x03, (micro >> 16) & 0xFF, (micro >> 8) & 0xFF, micro & 0xFF});
    }
    // Ten closings of required pedal holes, well after everything else, so
    // that a roll passes the validity test.
    Roll& required(int from) {
        for (int i = 0; i < 10; i++) {
            hole(6, from + 10 * i, from + 10 * i + 5);
        }
        return *this;
    }
    MidiFile score;
};

// Runs the interpretation of a roll from a fresh state: frame, header pass and
// hole walk. Returns lastendtime.
inline double interpret(Roll& roll, bool trace = false) {
    resetplayerstate();
    sc = trace;
    Array<double> holestart(holecount);
    double lastendtime = 0.0;
    prepareholes(holestart, lastendtime);
    buildscoreframe(roll.score);
    headerpass(roll.score);
    walkholes(roll.score, holestart, lastendtime);
    return lastendtime;
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
    std::vector<Ev> out;
    for (int i = 0; i < outputfile.getNumEvents(track); i++) {
        MFEvent& e = outputfile.getEvent(track, i);
        Ev ev{e.time, {}};
        for (int b = 0; b < e.data.getSize(); b++) {
            ev.bytes.push_back(e.data[b]);
        }
        out.push_back(ev);
    }
    return out;
}

// The events added after the frame: drops the first `skip` (track name,
// program change, program-name text of the frame).
inline std::vector<Ev> addedevents(int track) {
    static const int frame[4] = {1, 3, 2, 2};
    std::vector<Ev> all = trackevents(track);
    int skip = track < 4 ? frame[track] : 0;
    return std::vector<Ev>(all.begin() + skip, all.end());
}

// Only the note events (status 8x/9x) of an output track.
inline std::vector<Ev> notes(int track) {
    std::vector<Ev> out;
    for (const Ev& e : trackevents(track)) {
        if ((e.bytes[0] & 0xE0) == 0x80) {
            out.push_back(e);
        }
    }
    return out;
}

// Only the program changes of an output track, frame included.
inline std::vector<Ev> programs(int track) {
    std::vector<Ev> out;
    for (const Ev& e : trackevents(track)) {
        if ((e.bytes[0] & 0xF0) == 0xC0) {
            out.push_back(e);
        }
    }
    return out;
}

// For death tests: the player's messages go to standard output, which the
// death test does not look at; send them where it looks.
inline void stdouttostderr() {
    std::fflush(stdout);
    dup2(STDERR_FILENO, STDOUT_FILENO);
}

#endif
