// Byte arrays of at most 8 slots keep their bytes inside the array object;
// these cases cross that line in both directions and exchange bytes between
// small and large arrays, where a stale base pointer or a lost byte would show.
#include <gtest/gtest.h>

#include <string>

#include "Array.h"
#include "MFEvent.h"
#include "SigCollection.h"

namespace {

Array<unsigned char> bytearray(const std::string& text) {
    Array<unsigned char> a(static_cast<int>(text.size()));
    for (size_t i = 0; i < text.size(); i++) {
        a[static_cast<int>(i)] = static_cast<unsigned char>(text[i]);
    }
    return a;
}

std::string textOf(const SigCollection<unsigned char>& a) {
    const unsigned char* p = a.getBase();
    return std::string(p, p + a.getSize());
}

TEST(SmallByteArrays, GrowingPastEightAndShrinkingBackKeepTheBytes) {
    Array<unsigned char> a = bytearray("abcdefgh");
    EXPECT_EQ(a.getAllocSize(), 8);
    a.setAutoGrow(true);
    a[8] = 'i';
    a[9] = 'j';
    EXPECT_EQ(textOf(a), "abcdefghij");
    EXPECT_EQ(a.getAllocSize(), 16); // grew by its step of 8
    a.setSize(3);
    a.shrinkTo(3);
    EXPECT_EQ(a.getAllocSize(), 3);
    EXPECT_EQ(textOf(a), "abc");
    a.append('d');
    EXPECT_EQ(textOf(a), "abcd");
    // Appending one of its own bytes while full, in both storages.
    Array<unsigned char> small = bytearray("xy");
    small.append(small[0]);
    EXPECT_EQ(textOf(small), "xyx");
    Array<unsigned char> large = bytearray("123456789");
    large.append(large[8]);
    EXPECT_EQ(textOf(large), "1234567899");
}

TEST(SmallByteArrays, CopiesAndAssignmentsAreIndependent) {
    Array<unsigned char> small = bytearray("tiny");
    Array<unsigned char> copy(small);
    copy[0] = 'T';
    EXPECT_EQ(textOf(small), "tiny");
    EXPECT_EQ(textOf(copy), "Tiny");
    EXPECT_NE(copy.getBase(), small.getBase());

    // A small target takes a long source, and a long one a short source.
    Array<unsigned char> target = bytearray("ab");
    Array<unsigned char> longer = bytearray("a longer text");
    target = longer;
    EXPECT_EQ(textOf(target), "a longer text");
    longer = bytearray("xyz");
    EXPECT_EQ(textOf(longer), "xyz");
    EXPECT_EQ(textOf(target), "a longer text");
}

TEST(SmallByteArrays, ExchangesBetweenSmallAndLargeArrays) {
    Array<unsigned char> small = bytearray("abc");
    Array<unsigned char> large = bytearray("0123456789");
    small.swapElements(large);
    EXPECT_EQ(textOf(small), "0123456789");
    EXPECT_EQ(textOf(large), "abc");
    small.swapWith(large);
    EXPECT_EQ(textOf(small), "abc");
    EXPECT_EQ(textOf(large), "0123456789");
    // Both small: the bytes travel with the exchange.
    Array<unsigned char> other = bytearray("zz");
    small.swapElements(other);
    EXPECT_EQ(textOf(small), "zz");
    EXPECT_EQ(textOf(other), "abc");
}

TEST(SmallByteArrays, EventsKeepTheirBytesThroughListGrowthAndSorting) {
    // Short messages and long meta events side by side in a list that
    // regrows many times, then sorted into reverse order and back.
    SigCollection<MFEvent> list;
    list.setAutoGrow(true);
    for (int i = 0; i < 200; i++) {
        Array<unsigned char> bytes;
        bytes.setSize(0);
        if (i % 3 == 0) {
            const std::string text = "meta text number " + std::to_string(i);
            bytes.append(0xff);
            bytes.append(0x01);
            bytes.append(static_cast<unsigned char>(text.size()));
            for (char c : text) {
                bytes.append(static_cast<unsigned char>(c));
            }
        } else {
            bytes.append(0x90);
            bytes.append(static_cast<unsigned char>(i % 128));
            bytes.append(64);
        }
        list.append(MFEvent(i, 0, bytes));
    }
    for (int i = 0; i < 100; i++) {
        list[i].data.swapWith(list[199 - i].data);
        std::swap(list[i].time, list[199 - i].time);
    }
    for (int i = 0; i < 200; i++) {
        const MFEvent& e = list[199 - i];
        ASSERT_EQ(e.time, i);
        if (i % 3 == 0) {
            EXPECT_EQ(textOf(e.data).substr(3), "meta text number " + std::to_string(i));
        } else {
            ASSERT_EQ(e.data.getSize(), 3);
            EXPECT_EQ(e.data[1], i % 128);
        }
    }
}

} // namespace
