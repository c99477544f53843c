// The endian file stream: stream widths, both byte orders, the machine-order
// aliases, byte flips, and what a read at the end of the file leaves behind.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "FileIO.h"

namespace {

const unsigned int kIn = static_cast<unsigned int>(std::ios::in | std::ios::binary);
const unsigned int kOut =
    static_cast<unsigned int>(std::ios::out | std::ios::binary | std::ios::trunc);

bool littleMachine() {
    const uint16_t probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

// Writes with the given action and returns the bytes of the file.
template <class F> Bytes writeWith(F action) {
    const std::string path = writetemp({}, "out.bin");
    {
        FileIO out(path.c_str(), kOut);
        EXPECT_TRUE(out.is_open());
        action(out);
    }
    return readbytes(path);
}

std::string fileHolding(const Bytes& content) {
    return writetemp(content, "in.bin");
}

TEST(FileIOOpen, MissingFileStaysClosedWithFailure) {
    FileIO in("/nonexistent/vennor/none.mid", kIn);
    EXPECT_FALSE(in.is_open());
    EXPECT_TRUE(in.fail());
}

TEST(FileIOOpen, DefaultStreamIsUnopened) {
    FileIO io;
    EXPECT_FALSE(io.is_open());
}

TEST(FileIORead, UnsignedLongInBothOrders) {
    const std::string path = fileHolding(bytes({0, 0, 0, 6, 0, 0, 0, 6}));
    FileIO in(path.c_str(), kIn);
    unsigned long big = 0, little = 0;
    in.readBigEndian(big);
    in.readLittleEndian(little);
    EXPECT_EQ(big, 6u);
    EXPECT_EQ(little, 100663296u);
}

TEST(FileIORead, LongIsSignExtendedUnsignedLongZeroExtended) {
    const std::string path = fileHolding(bytes({0xff, 0xff, 0xff, 0xfe, 0xff, 0xff, 0xff, 0xfe}));
    FileIO in(path.c_str(), kIn);
    long s = 0;
    unsigned long u = 0;
    in.readBigEndian(s);
    in.readBigEndian(u);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(u, 4294967294ul);
}

TEST(FileIORead, ShortAndUnsignedShort) {
    const std::string path = fileHolding(bytes({0x80, 0x00, 0x80, 0x00, 0x34, 0x12}));
    FileIO in(path.c_str(), kIn);
    short s = 0;
    unsigned short u = 0, v = 0;
    in.readBigEndian(s);
    in.readBigEndian(u);
    in.readLittleEndian(v);
    EXPECT_EQ(s, -32768);
    EXPECT_EQ(u, 32768);
    EXPECT_EQ(v, 0x1234);
}

TEST(FileIORead, IntAndFloatAndDouble) {
    const std::string path = fileHolding(
        bytes({0xff, 0xff, 0xff, 0x85, 0x3f, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0xf0, 0x3f}));
    FileIO in(path.c_str(), kIn);
    int i = 0;
    float f = 0;
    double d = 0;
    in.readBigEndian(i);
    in.readBigEndian(f);
    in.readLittleEndian(d);
    EXPECT_EQ(i, -123);
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(d, 1.0);
}

TEST(FileIOWrite, LongWritesItsLowThirtyTwoBits) {
    EXPECT_EQ(writeWith([](FileIO& o) { o.writeBigEndian(0x123456789Al); }),
              bytes({0x34, 0x56, 0x78, 0x9a}));
    EXPECT_EQ(writeWith([](FileIO& o) { o.writeLittleEndian(0x123456789Aul); }),
              bytes({0x9a, 0x78, 0x56, 0x34}));
}

TEST(FileIOWrite, FloatAndDoubleBitPatterns) {
    EXPECT_EQ(writeWith([](FileIO& o) { o.writeBigEndian(1.0f); }), bytes({0x3f, 0x80, 0, 0}));
    EXPECT_EQ(writeWith([](FileIO& o) { o.writeLittleEndian(1.0f); }), bytes({0, 0, 0x80, 0x3f}));
    EXPECT_EQ(writeWith([](FileIO& o) { o.writeBigEndian(1.0); }),
              bytes({0x3f, 0xf0, 0, 0, 0, 0, 0, 0}));
}

TEST(FileIOWrite, ShortsAndInts) {
    EXPECT_EQ(writeWith([](FileIO& o) {
                  o.writeBigEndian(static_cast<short>(-2));
                  o.writeLittleEndian(static_cast<unsigned short>(0x1234));
                  o.writeBigEndian(0x01020304);
                  o.writeLittleEndian(0x01020304u);
              }),
              bytes({0xff, 0xfe, 0x34, 0x12, 1, 2, 3, 4, 4, 3, 2, 1}));
}

TEST(FileIOWrite, SingleBytesIgnoreOrder) {
    EXPECT_EQ(writeWith([](FileIO& o) {
                  o.writeBigEndian('A');
                  o.writeLittleEndian('B');
                  o.writeMachineEndian(static_cast<unsigned char>(0xc3));
                  o.writeNotMachineEndian(static_cast<unsigned char>(0xd4));
              }),
              bytes({'A', 'B', 0xc3, 0xd4}));
    const std::string path = fileHolding(bytes({0x81, 0x82, 0x83, 0x84}));
    FileIO in(path.c_str(), kIn);
    unsigned char a = 0, b = 0, c = 0, d = 0;
    in.readBigEndian(a);
    in.readLittleEndian(b);
    in.readMachineEndian(c);
    in.readNotMachineEndian(d);
    EXPECT_EQ(Bytes({a, b, c, d}), bytes({0x81, 0x82, 0x83, 0x84}));
}

TEST(FileIOWrite, MachineOrderMatchesTheProcessor) {
    const Bytes machine = writeWith([](FileIO& o) { o.writeMachineEndian(0x0a0b0c0d); });
    const Bytes other = writeWith([](FileIO& o) { o.writeNotMachineEndian(0x0a0b0c0d); });
    const Bytes little = bytes({0x0d, 0x0c, 0x0b, 0x0a});
    const Bytes big = bytes({0x0a, 0x0b, 0x0c, 0x0d});
    EXPECT_EQ(machine, littleMachine() ? little : big);
    EXPECT_EQ(other, littleMachine() ? big : little);
}

// Every type written in each order reads back unchanged in the same order.
template <class T> void roundTrip(T value) {
    const std::string path = writetemp({}, "rt.bin");
    {
        FileIO out(path.c_str(), kOut);
        out.writeBigEndian(value);
        out.writeLittleEndian(value);
        out.writeMachineEndian(value);
        out.writeNotMachineEndian(value);
    }
    FileIO in(path.c_str(), kIn);
    T a{}, b{}, c{}, d{};
    in.readBigEndian(a);
    in.readLittleEndian(b);
    in.readMachineEndian(c);
    in.readNotMachineEndian(d);
    EXPECT_EQ(a, value);
    EXPECT_EQ(b, value);
    EXPECT_EQ(c, value);
    EXPECT_EQ(d, value);
    EXPECT_FALSE(in.fail());
}

TEST(FileIORoundTrip, EveryTypeInEveryOrder) {
    roundTrip<char>('z');
    roundTrip<unsigned char>(0xfe);
    roundTrip<short>(-12345);
    roundTrip<unsigned short>(54321);
    roundTrip<int>(-123456789);
    roundTrip<unsigned int>(3000000000u);
    roundTrip<long>(-2000000000l);
    roundTrip<unsigned long>(4000000000ul);
    roundTrip<float>(-3.25f);
    roundTrip<double>(6.02214076e23);
}

TEST(FileIOFlip, ReversesStreamBytes) {
    EXPECT_EQ(FileIO::flipBytes('q'), 'q');
    EXPECT_EQ(FileIO::flipBytes(static_cast<unsigned char>(0x12)), 0x12);
    EXPECT_EQ(FileIO::flipBytes(static_cast<short>(0x0180)), static_cast<short>(0x8001));
    EXPECT_EQ(FileIO::flipBytes(static_cast<unsigned short>(0x1234)), 0x3412);
    EXPECT_EQ(FileIO::flipBytes(0x01020304), 0x04030201);
    EXPECT_EQ(FileIO::flipBytes(0x01020304u), 0x04030201u);
}

TEST(FileIOFlip, LongFlipsItsLowFourBytesAndWidens) {
    // 0x...000080 reversed is 0x80000000: negative as a 32-bit value.
    EXPECT_EQ(FileIO::flipBytes(0x7700000080l), -2147483648l);
    EXPECT_EQ(FileIO::flipBytes(0x7700000080ul), 0x80000000ul);
}

TEST(FileIOFlip, FloatAndDoubleFlipAsBitPatterns) {
    const float f = FileIO::flipBytes(1.0f);
    uint32_t fbits;
    std::memcpy(&fbits, &f, 4);
    EXPECT_EQ(fbits, 0x0000803fu);
    const double d = FileIO::flipBytes(1.0);
    uint64_t dbits;
    std::memcpy(&dbits, &d, 8);
    EXPECT_EQ(dbits, 0x000000000000f03full);
    EXPECT_EQ(FileIO::flipBytes(FileIO::flipBytes(-7.5)), -7.5);
}

TEST(FileIOEnd, ByteReadAtEndLeavesDestinationAndSetsEof) {
    const std::string path = fileHolding(bytes({'k'}));
    FileIO in(path.c_str(), kIn);
    unsigned char byte = 0;
    in.readBigEndian(byte);
    EXPECT_EQ(byte, 'k');
    EXPECT_EQ(in.gcount(), 1); // the reader tells a byte from the end by this count
    EXPECT_FALSE(in.eof());
    in.readBigEndian(byte);
    EXPECT_EQ(byte, 'k');
    EXPECT_EQ(in.gcount(), 0);
    EXPECT_TRUE(in.eof());
    EXPECT_TRUE(in.fail());
}

TEST(FileIOEnd, SingleBytesKeepTheirBitsInEveryOrder) {
    const std::string path = fileHolding(bytes({0xff, 0x80, 0x7f}));
    FileIO in(path.c_str(), kIn);
    char first = 0;
    unsigned char second = 0;
    char third = 0;
    in.readBigEndian(first);
    in.readLittleEndian(second);
    in.readNotMachineEndian(third);
    EXPECT_EQ(first, static_cast<char>(0xff));
    EXPECT_EQ(second, 0x80);
    EXPECT_EQ(third, 0x7f);
    EXPECT_FALSE(in.eof());
}

// A wider read cut short by the end keeps its previous value too.
TEST(FileIOEnd, PartialWideReadLeavesDestination) {
    const std::string path = fileHolding(bytes({0x12, 0x34}));
    FileIO in(path.c_str(), kIn);
    unsigned long value = 77;
    in.readBigEndian(value);
    EXPECT_EQ(value, 77u);
    EXPECT_TRUE(in.eof());
}

} // namespace
