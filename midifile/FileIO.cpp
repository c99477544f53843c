// Typed transfers in a chosen byte order. Values are assembled from the stream
// bytes arithmetically, so the code does not depend on the processor's order;
// "machine" order only picks which of the two orders applies.
#include "FileIO.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace {

bool machineIsLittle() {
    const uint16_t probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

// Width of each type in the stream and its conversion to and from the
// stream bits (the low width*8 bits of a 64-bit pattern).
template <class T> struct Codec;

template <class T, class Narrow> struct IntegerCodec {
    static constexpr int width = sizeof(Narrow);
    static uint64_t bits(T value) {
        Narrow narrow = static_cast<Narrow>(value);
        using U = std::make_unsigned_t<Narrow>;
        U pattern;
        std::memcpy(&pattern, &narrow, sizeof(pattern));
        return pattern;
    }
    static T value(uint64_t bits) {
        using U = std::make_unsigned_t<Narrow>;
        const U pattern = static_cast<U>(bits);
        Narrow narrow;
        std::memcpy(&narrow, &pattern, sizeof(narrow));
        return static_cast<T>(narrow);
    }
};

template <> struct Codec<char> : IntegerCodec<char, int8_t> {};
template <> struct Codec<unsigned char> : IntegerCodec<unsigned char, uint8_t> {};
template <> struct Codec<short> : IntegerCodec<short, int16_t> {};
template <> struct Codec<unsigned short> : IntegerCodec<unsigned short, uint16_t> {};
template <> struct Codec<int> : IntegerCodec<int, int32_t> {};
template <> struct Codec<unsigned int> : IntegerCodec<unsigned int, uint32_t> {};
// long is wider in memory than in the stream: only its low 32 bits travel.
template <> struct Codec<long> : IntegerCodec<long, int32_t> {
    static uint64_t bits(long value) {
        return static_cast<uint32_t>(static_cast<unsigned long>(value) & 0xffffffffu);
    }
};
template <> struct Codec<unsigned long> : IntegerCodec<unsigned long, uint32_t> {
    static uint64_t bits(unsigned long value) { return value & 0xffffffffu; }
};

template <> struct Codec<float> {
    static constexpr int width = 4;
    static uint64_t bits(float value) {
        uint32_t pattern;
        std::memcpy(&pattern, &value, 4);
        return pattern;
    }
    static float value(uint64_t bits) {
        const uint32_t pattern = static_cast<uint32_t>(bits);
        float result;
        std::memcpy(&result, &pattern, 4);
        return result;
    }
};

template <> struct Codec<double> {
    static constexpr int width = 8;
    static uint64_t bits(double value) {
        uint64_t pattern;
        std::memcpy(&pattern, &value, 8);
        return pattern;
    }
    static double value(uint64_t bits) {
        double result;
        std::memcpy(&result, &bits, 8);
        return result;
    }
};

// A short read leaves the destination unchanged: a value is stored only when
// all of its bytes arrived.
template <class T> void readOrdered(std::fstream& in, T& value, bool bigEndian) {
    constexpr int width = Codec<T>::width;
    if constexpr (width == 1) {
        // The reader takes every event byte this way: get() leaves the stream
        // state and gcount() as a one-byte read() does, at a fraction of its
        // cost.
        char byte;
        if (in.get(byte)) {
            value = Codec<T>::value(static_cast<unsigned char>(byte));
        }
        return;
    }
    unsigned char buffer[8];
    in.read(reinterpret_cast<char*>(buffer), width);
    if (in.gcount() != width) {
        return;
    }
    uint64_t bits = 0;
    for (int i = 0; i < width; i++) {
        const int from = bigEndian ? i : width - 1 - i;
        bits = (bits << 8) | buffer[from];
    }
    value = Codec<T>::value(bits);
}

template <class T> void writeOrdered(std::fstream& out, T value, bool bigEndian) {
    constexpr int width = Codec<T>::width;
    const uint64_t bits = Codec<T>::bits(value);
    unsigned char buffer[8];
    for (int i = 0; i < width; i++) {
        const int shift = 8 * (bigEndian ? width - 1 - i : i);
        buffer[i] = static_cast<unsigned char>((bits >> shift) & 0xff);
    }
    out.write(reinterpret_cast<const char*>(buffer), width);
}

template <class T> T flipOrdered(T value) {
    constexpr int width = Codec<T>::width;
    const uint64_t bits = Codec<T>::bits(value);
    uint64_t flipped = 0;
    for (int i = 0; i < width; i++) {
        flipped = (flipped << 8) | ((bits >> (8 * i)) & 0xff);
    }
    return Codec<T>::value(flipped);
}

} // namespace

FileIO::FileIO() = default;

FileIO::FileIO(const char* filename, unsigned int mode)
    : std::fstream(filename, static_cast<std::ios_base::openmode>(mode)) {}

FileIO::~FileIO() {
    if (is_open()) {
        close();
    }
}

#define VENNOR_FILEIO_DEFINE(T)                                                                    \
    void FileIO::readBigEndian(T& value) {                                                         \
        readOrdered<T>(*this, value, true);                                                        \
    }                                                                                              \
    void FileIO::readLittleEndian(T& value) {                                                      \
        readOrdered<T>(*this, value, false);                                                       \
    }                                                                                              \
    void FileIO::readMachineEndian(T& value) {                                                     \
        readOrdered<T>(*this, value, !machineIsLittle());                                          \
    }                                                                                              \
    void FileIO::readNotMachineEndian(T& value) {                                                  \
        readOrdered<T>(*this, value, machineIsLittle());                                           \
    }                                                                                              \
    void FileIO::writeBigEndian(T value) {                                                         \
        writeOrdered<T>(*this, value, true);                                                       \
    }                                                                                              \
    void FileIO::writeLittleEndian(T value) {                                                      \
        writeOrdered<T>(*this, value, false);                                                      \
    }                                                                                              \
    void FileIO::writeMachineEndian(T value) {                                                     \
        writeOrdered<T>(*this, value, !machineIsLittle());                                         \
    }                                                                                              \
    void FileIO::writeNotMachineEndian(T value) {                                                  \
        writeOrdered<T>(*this, value, machineIsLittle());                                          \
    }                                                                                              \
    T FileIO::flipBytes(T value) {                                                                 \
        return flipOrdered<T>(value);                                                              \
    }

VENNOR_FILEIO_DEFINE(char)
VENNOR_FILEIO_DEFINE(unsigned char)
VENNOR_FILEIO_DEFINE(short)
VENNOR_FILEIO_DEFINE(unsigned short)
VENNOR_FILEIO_DEFINE(int)
VENNOR_FILEIO_DEFINE(unsigned int)
VENNOR_FILEIO_DEFINE(long)
VENNOR_FILEIO_DEFINE(unsigned long)
VENNOR_FILEIO_DEFINE(float)
VENNOR_FILEIO_DEFINE(double)
#undef VENNOR_FILEIO_DEFINE
