// Byte strings for building files and events: the bytes of a file as a
// vector, and the model's byte arrays.
#ifndef VENNOR_TESTS_BYTES_H
#define VENNOR_TESTS_BYTES_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "Array.h"
#include "SigCollection.h"

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

// A meta event's bytes: FF, its type, the text's length (one or two bytes of
// a variable-length quantity) and the text.
inline Bytes metabytes(int type, const std::string& words) {
    Bytes out = bytes({0xFF, type});
    if (words.size() > 127) {
        out.push_back(static_cast<unsigned char>(0x80 | (words.size() >> 7)));
    }
    out.push_back(static_cast<unsigned char>(words.size() & 0x7F));
    out.insert(out.end(), words.begin(), words.end());
    return out;
}

template <typename Values> Array<unsigned char> bytearrayof(const Values& values) {
    Array<unsigned char> out;
    out.setSize(static_cast<int64_t>(values.size()));
    int i = 0;
    for (auto v : values) {
        out[i++] = static_cast<unsigned char>(v);
    }
    return out;
}

inline Array<unsigned char> bytearray(std::initializer_list<int> values) {
    return bytearrayof(values);
}
inline Array<unsigned char> bytearray(const std::vector<int>& values) {
    return bytearrayof(values);
}
inline Array<unsigned char> bytearray(const Bytes& values) {
    return bytearrayof(values);
}

// Bytes as upper-case hexadecimal digits, two a byte, nothing between.
inline std::string hexbytes(const unsigned char* b, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < n; i++) {
        out += digits[b[i] >> 4];
        out += digits[b[i] & 0x0F];
    }
    return out;
}

// The bytes a model array holds.
inline Bytes of(const SigCollection<unsigned char>& a) {
    return Bytes(a.getBase(), a.getBase() + a.getSize());
}

#endif
