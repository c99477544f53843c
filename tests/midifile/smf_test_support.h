// Shared helpers of the reader, writer and model tests: byte strings, scratch
// files, captured output and stream-specific death-test checks.
#ifndef VENNOR_SMF_TEST_SUPPORT_H
#define VENNOR_SMF_TEST_SUPPORT_H

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MidiFile.h"

namespace smftest {

using Bytes = std::vector<unsigned char>;

inline Bytes bytes(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) {
        out.push_back(static_cast<unsigned char>(v));
    }
    return out;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

inline Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

inline Array<unsigned char> array(const Bytes& values) {
    Array<unsigned char> a;
    a.setSize(static_cast<int64_t>(values.size()));
    for (size_t i = 0; i < values.size(); i++) {
        a[static_cast<int>(i)] = values[i];
    }
    return a;
}

inline Bytes of(const SigCollection<unsigned char>& a) {
    return Bytes(a.getBase(), a.getBase() + a.getSize());
}

// The 14-byte header: format, track count and division as given.
inline Bytes header(int format, int tracks, int division) {
    return bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, format >> 8, format, tracks >> 8, tracks,
                  division >> 8, division});
}

// A track chunk whose length field is the body's size.
inline Bytes chunk(const Bytes& body) {
    const size_t n = body.size();
    Bytes out = bytes({'M', 'T', 'r', 'k', static_cast<int>(n >> 24), static_cast<int>(n >> 16),
                       static_cast<int>(n >> 8), static_cast<int>(n)});
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// A fresh path in the test's temporary folder, holding the given bytes.
inline std::string writeTemp(const Bytes& content, const std::string& name = "score.mid") {
    static std::atomic<int> counter{0};
    const std::string path = ::testing::TempDir() + "vennor_" + std::to_string(getpid()) + "_" +
                             std::to_string(counter++) + "_" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()),
              static_cast<std::streamsize>(content.size()));
    return path;
}

inline Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes written(MidiFile& score) {
    std::ostringstream out;
    score.write(out);
    const std::string s = out.str();
    return Bytes(s.begin(), s.end());
}

// One event as the tests compare it.
struct Ev {
    int time;
    Bytes data;
    bool operator==(const Ev& o) const { return time == o.time && data == o.data; }
};

inline void PrintTo(const Ev& e, std::ostream* os) {
    *os << "{" << e.time << ":";
    char hex[4];
    for (unsigned char b : e.data) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        *os << hex;
    }
    *os << "}";
}

inline std::vector<Ev> eventsOf(MidiFile& score, int track) {
    std::vector<Ev> out;
    for (int i = 0; i < score.getNumEvents(track); i++) {
        MFEvent& e = score.getEvent(track, i);
        out.push_back({e.time, of(e.data)});
    }
    return out;
}

// Inside a death test: keep only standard output (on the captured stderr),
// so a matching message proves it went to standard output.
inline void onlyStdout() {
    std::fflush(nullptr);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
}

// Inside a death test: silence standard output, so a matching message proves
// it went to standard error.
inline void onlyStderr() {
    std::fflush(nullptr);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
}

// Reads a file into a fresh score through read(), capturing both streams.
struct ReadResult {
    int status;
    std::string out;
    std::string err;
};

inline ReadResult readCaptured(MidiFile& score, const std::string& path) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int status = score.read(path.c_str());
    ReadResult r{status, "", ""};
    r.err = ::testing::internal::GetCapturedStderr();
    r.out = ::testing::internal::GetCapturedStdout();
    return r;
}

} // namespace smftest

#endif
