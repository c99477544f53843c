// What the regression and limit tests run on a file: the model's reader,
// writer and text dump, the player's whole preparation of a roll, and the
// repetition the worst files are built from.
#ifndef VENNOR_TESTS_PIPELINE_H
#define VENNOR_TESTS_PIPELINE_H

#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/paths.h"
#include "../support/smf.h"
#include "rollcore.h"

namespace pipeline {

// Reads the file, writes the score to memory and dumps it as text.
inline void readwritedump(const std::string& path) {
    MidiFile score(path.c_str());
    std::ostringstream bytes;
    score.write(bytes);
    std::ostringstream text;
    text << score;
}

// The player's run sequence without FluidSynth, from the roll to the
// player's buffer.
inline void prepareroll(const std::string& path) {
    resetplayerstate();
    std::string op_string;
    const size_t op_size = preparescore(path.c_str(), op_string);
    fillopbuffer(op_string, op_size);
}

inline void append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Repeats unit after the file's bytes as often as it fits in limit bytes.
inline void fill(Bytes& file, const Bytes& unit, size_t limit) {
    while (file.size() + unit.size() <= limit) {
        append(file, unit);
    }
}

inline std::string datafile(const char* name) {
    return std::string(testpath("VENNOR_REGRESSION_DATA")) + "/" + name;
}

} // namespace pipeline

#endif
