// The three variable-length codecs: makeVLV (meta lengths, up to 4 bytes),
// writeVLValue (delta times, up to 5 bytes) and the reader's decoding.
#include <climits>

#include <gtest/gtest.h>

#include "../support/events.h"
#include "../support/refusal.h"
#include "../support/smf.h"
#include "MidiFile.h"

namespace {

using ::testing::ExitedWithCode;

Bytes make(int number) {
    unsigned char buffer[4] = {0xee, 0xee, 0xee, 0xee};
    const int n = MidiFile::makeVLV(buffer, number);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 4);
    return Bytes(buffer, buffer + n);
}

Bytes written(long value) {
    Array<unsigned char> out;
    out.setSize(0);
    MidiFile::writeVLValue(value, out);
    return of(out);
}

TEST(VlvMake, Table) {
    EXPECT_EQ(make(0), bytes({0x00}));
    EXPECT_EQ(make(127), bytes({0x7f}));
    EXPECT_EQ(make(128), bytes({0x81, 0x00}));
    EXPECT_EQ(make(16383), bytes({0xff, 0x7f}));
    EXPECT_EQ(make(16384), bytes({0x81, 0x80, 0x00}));
    EXPECT_EQ(make(2097151), bytes({0xff, 0xff, 0x7f}));
    EXPECT_EQ(make(2097152), bytes({0x81, 0x80, 0x80, 0x00}));
    EXPECT_EQ(make(0x0fffffff), bytes({0xff, 0xff, 0xff, 0x7f}));
}

TEST(VlvMakeDeath, TwoToTheTwentyEightIsTooLarge) {
    unsigned char buffer[4];
    EXPECT_EXIT(
        {
            onlystdout();
            MidiFile::makeVLV(buffer, 0x10000000);
        },
        ExitedWithCode(1), "^Error: number too large to handle\n$");
}

TEST(VlvMakeDeath, NegativeNumbersAreTooLarge) {
    unsigned char buffer[4];
    EXPECT_EXIT(
        {
            onlystdout();
            MidiFile::makeVLV(buffer, -1);
        },
        ExitedWithCode(1), "Error: number too large to handle");
    EXPECT_EXIT(
        {
            onlystdout();
            MidiFile::makeVLV(buffer, INT_MIN);
        },
        ExitedWithCode(1), "Error: number too large to handle");
}

TEST(VlvWrite, Table) {
    EXPECT_EQ(written(0), bytes({0x00}));
    EXPECT_EQ(written(127), bytes({0x7f}));
    EXPECT_EQ(written(128), bytes({0x81, 0x00}));
    EXPECT_EQ(written(200), bytes({0x81, 0x48}));
    EXPECT_EQ(written(16383), bytes({0xff, 0x7f}));
    EXPECT_EQ(written(16384), bytes({0x81, 0x80, 0x00}));
    EXPECT_EQ(written(0x0fffffff), bytes({0xff, 0xff, 0xff, 0x7f}));
    EXPECT_EQ(written(0x10000000), bytes({0x81, 0x80, 0x80, 0x80, 0x00}));
}

TEST(VlvWrite, BitsAboveThirtyFourAreLostAndNegativesUseTheirSignBits) {
    EXPECT_EQ(written(0x7ffffffffl), bytes({0xff, 0xff, 0xff, 0xff, 0x7f}));
    EXPECT_EQ(written(0x800000000l), bytes({0x00}));
    EXPECT_EQ(written(-1), bytes({0xff, 0xff, 0xff, 0xff, 0x7f}));
}

TEST(VlvWrite, AppendsAfterExistingBytes) {
    Array<unsigned char> out = bytearray({0x90});
    MidiFile::writeVLValue(128, out);
    EXPECT_EQ(of(out), bytes({0x90, 0x81, 0x00}));
}

TEST(VlvUnpack, StopsAtFirstByteWithTopBitClear) {
    EXPECT_EQ(MidiFile::unpackVLV(0x00, 0x81, 0x81, 0x81, 0x00), 0);
    EXPECT_EQ(MidiFile::unpackVLV(0x7f, 0, 0, 0, 0), 127);
    EXPECT_EQ(MidiFile::unpackVLV(0x81, 0x48, 0x99, 0, 0), 200);
    EXPECT_EQ(MidiFile::unpackVLV(0xff, 0xff, 0xff, 0x7f, 0), 0x0fffffff);
    EXPECT_EQ(MidiFile::unpackVLV(0x81, 0x80, 0x80, 0x80, 0x00), 0x10000000);
    // Five bytes give up to 35 bits.
    EXPECT_EQ(MidiFile::unpackVLV(0xff, 0xff, 0xff, 0xff, 0x7f), 0x7ffffffffll);
}

TEST(VlvUnpackDeath, FifthByteWithTopBitSet) {
    EXPECT_EXIT(
        {
            onlystdout();
            MidiFile::unpackVLV(0x81, 0x81, 0x81, 0x81, 0x81);
        },
        ExitedWithCode(1), "^Error: VLV value was too long\n$");
}

// Every value the writer produces decodes to itself.
TEST(VlvRoundTrip, WriterAndDecoderAgree) {
    for (long v :
         {0l, 1l, 127l, 128l, 8191l, 16384l, 1000000l, 0x0fffffffl, 0x10000000l, 0x7ffffffffl}) {
        Bytes b = written(v);
        b.resize(5, 0);
        EXPECT_EQ(MidiFile::unpackVLV(b[0], b[1], b[2], b[3], b[4]), v) << v;
    }
}

TEST(VlvExtract, ReadsFromAStream) {
    const std::string path =
        writetemp(bytes({0x81, 0x48, 0x00, 0x81, 0x80, 0x80, 0x80, 0x00, 0x7f}));
    FileIO in(path.c_str(), static_cast<unsigned int>(std::ios::in | std::ios::binary));
    EXPECT_EQ(MidiFile::extractVlvTime(in), 200);
    EXPECT_EQ(MidiFile::extractVlvTime(in), 0);
    EXPECT_EQ(MidiFile::extractVlvTime(in), 0x10000000);
    EXPECT_EQ(MidiFile::extractVlvTime(in), 127);
}

TEST(VlvExtractDeath, FiveBytesAllContinued) {
    const std::string path = writetemp(bytes({0x81, 0x81, 0x81, 0x81, 0x81, 0x00}));
    EXPECT_EXIT(
        {
            onlystdout();
            FileIO in(path.c_str(), static_cast<unsigned int>(std::ios::in | std::ios::binary));
            MidiFile::extractVlvTime(in);
        },
        ExitedWithCode(1), "^Error: VLV value was too long\n$");
}

} // namespace
