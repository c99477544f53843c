// Synthetic Estey e-rolls for benchmarks and the long-roll tests.
#include "rollgen.h"

#include <cstdio>

namespace {

void put32(std::string& out, unsigned long value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void putbytes(std::string& out, std::initializer_list<int> bytes) {
    for (int b : bytes) {
        out.push_back(static_cast<char>(b));
    }
}

// The hole opened at step k: every 64th a stop control (holes 1-5 and 125),
// every 16th a swell shade (123 or 124), otherwise a note hole 6-120.
int holeat(long k) {
    static const int stops[] = {1, 2, 3, 4, 5, 125};
    if (k % 64 == 63) {
        return stops[(k / 64) % 6];
    }
    if (k % 16 == 7) {
        return (k / 16) % 2 == 0 ? 123 : 124;
    }
    return 6 + static_cast<int>((k * 37) % 115);
}

} // namespace

std::string makeroll(int holeevents) {
    const long holes = (static_cast<long>(holeevents) + 1) / 2;
    std::string body;
    body.reserve(static_cast<size_t>(holes) * 8 + 64);
    const char title[] = "Generated roll";
    putbytes(body, {0x00, 0xFF, 0x03, static_cast<int>(sizeof(title) - 1)});
    body.append(title, sizeof(title) - 1);
    // 705882 microseconds per quarter note: 85 beats per minute.
    putbytes(body, {0x00, 0xFF, 0x51, 0x03, 0x0A, 0xC5, 0x5A});
    for (long k = 0; k < holes; k++) {
        const int hole = holeat(k);
        putbytes(body, {k == 0 ? 0 : 10, 0x90, hole, 64});
        putbytes(body, {30, 0x80, hole, 0});
    }
    putbytes(body, {0x00, 0xFF, 0x2F, 0x00});

    std::string file = "MThd";
    put32(file, 6);
    putbytes(file, {0x00, 0x00, 0x00, 0x01, 0x00, 0xC0});
    file += "MTrk";
    put32(file, body.size());
    file += body;
    return file;
}

bool writeroll(const std::string& path, int holeevents) {
    const std::string bytes = makeroll(holeevents);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && whole;
}
