// A byte array of the model holding the given values, for building events.
#ifndef VENNOR_TESTS_BYTEARRAY_H
#define VENNOR_TESTS_BYTEARRAY_H

#include <cstdint>
#include <vector>

#include "Array.h"

inline Array<unsigned char> bytearray(const std::vector<int>& values) {
    Array<unsigned char> bytes;
    bytes.setSize(static_cast<int64_t>(values.size()));
    for (size_t i = 0; i < values.size(); i++) {
        bytes[static_cast<int>(i)] = static_cast<unsigned char>(values[i]);
    }
    return bytes;
}

#endif
