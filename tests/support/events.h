// One event as the tests compare it: its tick and its bytes.
#ifndef VENNOR_TESTS_EVENTS_H
#define VENNOR_TESTS_EVENTS_H

#include <cstdio>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "MidiFile.h"
#include "bytes.h"

// An event's bytes, written as a list of numbers or taken from a byte string.
struct EventBytes : std::vector<int> {
    EventBytes() = default;
    EventBytes(std::initializer_list<int> values) : std::vector<int>(values) {}
    EventBytes(const std::vector<int>& values) : std::vector<int>(values) {}
    EventBytes(const Bytes& values) : std::vector<int>(values.begin(), values.end()) {}
};

struct Ev {
    int tick;
    EventBytes bytes;
    bool operator==(const Ev& o) const { return tick == o.tick && bytes == o.bytes; }
};

inline void PrintTo(const Ev& e, std::ostream* os) {
    *os << "{" << e.tick << ":";
    char hex[4];
    for (int b : e.bytes) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        *os << hex;
    }
    *os << "}";
}

// The events of one track of a score, in their stored order.
inline std::vector<Ev> eventsof(MidiFile& score, int track) {
    std::vector<Ev> out;
    for (int i = 0; i < score.getNumEvents(track); i++) {
        MFEvent& e = score.getEvent(track, i);
        out.push_back({e.time, of(e.data)});
    }
    return out;
}

// The end-of-track event, and the same with the zero delta before it in a file.
const Bytes endoftrack = {0xff, 0x2f, 0x00};
const Bytes endoftrackdelta = {0x00, 0xff, 0x2f, 0x00};

#endif
