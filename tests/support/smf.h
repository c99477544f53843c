// Standard MIDI file pieces built byte by byte, scratch files that hold them,
// and a score written to or read from bytes.
#ifndef VENNOR_TESTS_SMF_H
#define VENNOR_TESTS_SMF_H

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "MidiFile.h"
#include "bytes.h"

// The 14-byte header: format, track count and division as given.
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

// A track chunk whose length field is the body's size.
inline Bytes chunk(const Bytes& body) {
    return concat({chunkhead(body.size()), body});
}

// A fresh path in the test's temporary folder, holding the given bytes.
inline std::string writetemp(const Bytes& content, const std::string& name = "score.mid") {
    static std::atomic<int> counter{0};
    const std::string path = ::testing::TempDir() + "vennor_" + std::to_string(getpid()) + "_" +
                             std::to_string(counter++) + "_" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()),
              static_cast<std::streamsize>(content.size()));
    return path;
}

inline Bytes readbytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The score as the writer puts it into a file.
inline Bytes written(MidiFile& score) {
    std::ostringstream out;
    score.write(out);
    return text(out.str());
}

// What a read through read() returned and printed.
struct ReadResult {
    int status;
    std::string out;
    std::string err;
};

// Reads the file at path into score, capturing both streams.
inline ReadResult readcaptured(MidiFile& score, const std::string& path) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = score.read(path.c_str());
    ReadResult r{status, "", ""};
    r.err = ::testing::internal::GetCapturedStderr();
    r.out = ::testing::internal::GetCapturedStdout();
    return r;
}

#endif
