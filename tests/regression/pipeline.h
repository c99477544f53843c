// What the regression and limit tests run on a file: the model's reader,
// writer and text dump, and the player's whole preparation of a roll. Also
// the byte-level pieces the tests build their files from.
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

#include "rollcore.h"

namespace pipeline {

using Bytes = std::vector<unsigned char>;

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

inline Bytes bytes(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) {
        out.push_back(static_cast<unsigned char>(v));
    }
    return out;
}

inline void append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

inline Bytes header(int format, int tracks, int division) {
    return bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, format >> 8, format, tracks >> 8, tracks,
                  division >> 8, division});
}

// A chunk signature with the given length field, which need not be the truth.
inline Bytes chunkhead(unsigned long length) {
    return bytes({'M', 'T', 'r', 'k', static_cast<int>(length >> 24),
                  static_cast<int>(length >> 16), static_cast<int>(length >> 8),
                  static_cast<int>(length)});
}

// Repeats unit after the file's bytes as often as it fits in limit bytes.
inline void fill(Bytes& file, const Bytes& unit, size_t limit) {
    while (file.size() + unit.size() <= limit) {
        append(file, unit);
    }
}

inline std::string writefile(const Bytes& content, const std::string& name) {
    const std::string path =
        ::testing::TempDir() + "vennor_" + std::to_string(getpid()) + "_" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()),
              static_cast<std::streamsize>(content.size()));
    return path;
}

inline std::string datafile(const char* name) {
    return std::string(VENNOR_REGRESSION_DATA) + "/" + name;
}

} // namespace pipeline

#endif
