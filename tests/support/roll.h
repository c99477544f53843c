// A one-track roll in memory, written with the model's writer: what the
// player's and the renderer's end-to-end tests feed the programs.
#ifndef VENNOR_TESTS_ROLLFILE_H
#define VENNOR_TESTS_ROLLFILE_H

#include <string>
#include <vector>

#include "../support/bytearray.h"
#include "MidiFile.h"

class RollFile {
  public:
    explicit RollFile(int ticks = 192) {
        score.absoluteTime(); // empty: only marks it absolute
        score.setTicksPerQuarterNote(ticks);
    }
    RollFile& bytes(int tick, const std::vector<int>& data) {
        score.addEvent(0, tick, bytearray(data));
        return *this;
    }
    RollFile& hole(int hole, int a, int b) {
        return bytes(a, {0x90, hole, 64}).bytes(b, {0x80, hole, 64});
    }
    RollFile& meta(int tick, int type, const std::string& text) {
        score.addMetaEvent(0, tick, type, text.c_str());
        return *this;
    }
    RollFile& tempo(int tick, int micro) {
        return bytes(tick,
                     {0xFF, 0x51, 0x03, (micro >> 16) & 0xFF, (micro >> 8) & 0xFF, micro & 0xFF});
    }
    RollFile& tempo(int micro) { return tempo(0, micro); }
    RollFile& text(int type, const std::string& words) { return meta(0, type, words); }
    // Ten short closings of required holes 99 to 108 from `from` on.
    RollFile& required(int from) {
        for (int i = 0; i < 10; i++) {
            hole(99 + i, from + 48 * i, from + 48 * i + 24);
        }
        return *this;
    }
    RollFile& track() {
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
