// A roll built in memory: one track in absolute ticks, 192 ticks per quarter
// unless told. The player's unit tests interpret it in place; the end-to-end
// suites write it with the model's writer and hand the file to a program.
#ifndef VENNOR_TESTS_ROLL_H
#define VENNOR_TESTS_ROLL_H

#include <string>
#include <vector>

#include "MidiFile.h"
#include "bytes.h"

class Roll {
  public:
    explicit Roll(int ticks = 192) {
        score.absoluteTime(); // an empty score: only marks it absolute
        score.setTicksPerQuarterNote(ticks);
    }
    Roll& bytes(int tick, const std::vector<int>& data) {
        score.addEvent(0, tick, bytearray(data));
        return *this;
    }
    Roll& on(int tick, int hole, int status = 0x90) { return bytes(tick, {status, hole, 64}); }
    Roll& off(int tick, int hole, int status = 0x80, int velocity = 64) {
        return bytes(tick, {status, hole, velocity});
    }
    // One hole open from tick a to tick b.
    Roll& hole(int hole, int a, int b) { return on(a, hole).off(b, hole); }
    Roll& meta(int tick, int type, const std::string& words) {
        score.addMetaEvent(0, tick, type, bytearrayof(words));
        return *this;
    }
    Roll& text(int type, const std::string& words) { return meta(0, type, words); }
    Roll& tempo(int tick, int micro) {
        return bytes(tick,
                     {0xFF, 0x51, 0x03, (micro >> 16) & 0xFF, (micro >> 8) & 0xFF, micro & 0xFF});
    }
    Roll& tempo(int micro) { return tempo(0, micro); }
    // Ten short closings of required holes (99 to 108, great and swell
    // notes) from tick `from` on: what makes the roll an Estey e-roll.
    Roll& required(int from) {
        for (int i = 0; i < 10; i++) {
            hole(99 + i, from + 48 * i, from + 48 * i + 24);
        }
        return *this;
    }
    // A second, empty track: no e-roll has one.
    Roll& track() {
        score.addTrack();
        return *this;
    }
    void write(const std::string& path) {
        score.sortTracks();
        score.write(path.c_str());
    }
    MidiFile score;
};

#endif
