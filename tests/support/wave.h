// 16-bit RIFF WAVE files as the renderer writes them, read back for measuring.
#ifndef VENNOR_TESTS_WAVE_H
#define VENNOR_TESTS_WAVE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

inline uint32_t le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

inline uint16_t le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                 static_cast<unsigned char>(b[at + 1]) << 8);
}

// The 16-bit stereo samples of a RIFF WAVE file, with its sample rate.
struct Wave {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
    double seconds() const {
        return rate > 0 && channels > 0 ? static_cast<double>(samples.size()) / channels / rate
                                        : 0.0;
    }
    // Largest magnitude over a span of seconds, as a fraction of full scale.
    double peak(double from, double to) const {
        size_t a = static_cast<size_t>(std::max(0.0, from) * rate) * channels;
        size_t b = std::min(samples.size(), static_cast<size_t>(to * rate) * channels);
        int top = 0;
        for (size_t i = a; i < b; i++) {
            top = std::max(top, std::abs(static_cast<int>(samples[i])));
        }
        return top / 32768.0;
    }
    // Root mean square over a span of seconds, in dB of full scale.
    double rmsdb(double from, double to) const {
        size_t a = static_cast<size_t>(std::max(0.0, from) * rate) * channels;
        size_t b = std::min(samples.size(), static_cast<size_t>(to * rate) * channels);
        double sum = 0.0;
        for (size_t i = a; i < b; i++) {
            sum += static_cast<double>(samples[i]) * samples[i];
        }
        return 10.0 *
               std::log10(std::max(sum / std::max<size_t>(1, b - a), 1e-3) / 32768.0 / 32768.0);
    }
};

inline Wave readwave(const std::string& bytes) {
    Wave w;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        ADD_FAILURE() << "not a RIFF WAVE file";
        return w;
    }
    int bits = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        std::string id = bytes.substr(at, 4);
        size_t size = le32(bytes, at + 4);
        if (id == "fmt ") {
            w.channels = le16(bytes, at + 10);
            w.rate = static_cast<int>(le32(bytes, at + 12));
            bits = le16(bytes, at + 22);
        } else if (id == "data") {
            size = std::min(size, bytes.size() - at - 8);
            w.samples.resize(size / 2);
            for (size_t i = 0; i < size / 2; i++) {
                w.samples[i] = static_cast<int16_t>(le16(bytes, at + 8 + 2 * i));
            }
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_EQ(bits, 16);
    return w;
}

#endif
