// The bounds-checked growable array: initial shapes, indexing and automatic
// appends, the grow and size operations, assignment, and every misuse that
// ends the program.
#include <string>

#include <gtest/gtest.h>

#include "Array.h"
#include "SigCollection.h"

namespace {

using ::testing::ExitedWithCode;

TEST(SigCollectionShape, DefaultIsEmptyWithStepEight) {
    SigCollection<int> a;
    EXPECT_EQ(a.getSize(), 0);
    EXPECT_EQ(a.getAllocSize(), 0);
    EXPECT_EQ(a.getBase(), nullptr);
    EXPECT_FALSE(a.getAutoGrow());
    EXPECT_EQ(a.getGrowth(), 8);
    EXPECT_EQ(a.getMaxSize(), 0);
}

TEST(SigCollectionShape, SizedConstructorUsesSizeAsStep) {
    SigCollection<double> a(5);
    EXPECT_EQ(a.getSize(), 5);
    EXPECT_EQ(a.getAllocSize(), 5);
    EXPECT_EQ(a.getGrowth(), 5);
    EXPECT_FALSE(a.getAutoGrow());
    EXPECT_NE(a.getBase(), nullptr);
}

TEST(SigCollectionShape, DefaultByteArrayAlreadyHoldsFour) {
    Array<unsigned char> a;
    EXPECT_EQ(a.getSize(), 4);
    EXPECT_EQ(a.getAllocSize(), 4);
    EXPECT_EQ(a.getGrowth(), 4);
    EXPECT_FALSE(a.getAutoGrow());
}

TEST(SigCollectionShape, SizedArrayOfIntAndDouble) {
    Array<int> a(128);
    Array<double> b(128);
    EXPECT_EQ(a.getSize(), 128);
    EXPECT_EQ(b.getAllocSize(), 128);
    EXPECT_EQ(b.getGrowth(), 128);
}

TEST(SigCollectionShape, ZeroSizedArrayStillGrowsByAtLeastOne) {
    SigCollection<int> a(0);
    EXPECT_EQ(a.getGrowth(), 0);
    a.grow(0);
    EXPECT_EQ(a.getAllocSize(), 1);
    a.append(7);
    a.append(8);
    EXPECT_EQ(a.getSize(), 2);
    EXPECT_EQ(a[0], 7);
    EXPECT_EQ(a[1], 8);
}

TEST(SigCollectionIndex, ReadsAndWritesInsideBounds) {
    SigCollection<int> a(3);
    for (int i = 0; i < 3; i++) {
        a[i] = 10 * i;
    }
    const SigCollection<int>& c = a;
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(c[2], 20);
}

TEST(SigCollectionIndex, AutoGrowAppendsAtSizeAndGrowsByStepWhenFull) {
    SigCollection<int> a(2);
    a.setGrowth(3);
    a.setAutoGrow(true);
    a[2] = 42;
    EXPECT_EQ(a.getSize(), 3);
    EXPECT_EQ(a.getAllocSize(), 5);
    EXPECT_EQ(a[2], 42);
    // Room left: no further growth.
    a[3] = 43;
    EXPECT_EQ(a.getAllocSize(), 5);
    EXPECT_EQ(a.getSize(), 4);
}

TEST(SigCollectionIndexDeath, OnePastTheEndWithoutAutoGrow) {
    SigCollection<int> a(3);
    EXPECT_EXIT(a[3], ExitedWithCode(1),
                "^Error: accessing invalid array location 3 Maximum is 2\n$");
}

TEST(SigCollectionIndexDeath, MinusOneEvenWithAutoGrow) {
    SigCollection<int> a(3);
    a.setAutoGrow(true);
    EXPECT_EXIT(a[-1], ExitedWithCode(1), "invalid array location -1 Maximum is 2");
}

TEST(SigCollectionIndexDeath, TwoPastTheEndWithAutoGrow) {
    SigCollection<int> a(3);
    a.setAutoGrow(true);
    EXPECT_EXIT(a[4], ExitedWithCode(1), "invalid array location 4 Maximum is 2");
}

TEST(SigCollectionIndexDeath, EmptyArrayReportsMaximumMinusOne) {
    SigCollection<int> a;
    EXPECT_EXIT(a[0], ExitedWithCode(1), "invalid array location 0 Maximum is -1");
}

TEST(SigCollectionIndexDeath, ConstIndexingIsCheckedToo) {
    const SigCollection<int> a(2);
    EXPECT_EXIT(a[2], ExitedWithCode(1), "invalid array location 2 Maximum is 1");
}

TEST(SigCollectionGrow, NonPositiveAmountUsesStep) {
    SigCollection<int> a;
    a.grow(0);
    EXPECT_EQ(a.getAllocSize(), 8);
    a.grow(-5);
    EXPECT_EQ(a.getAllocSize(), 16);
    a.grow(3);
    EXPECT_EQ(a.getAllocSize(), 19);
    EXPECT_EQ(a.getSize(), 0);
}

TEST(SigCollectionGrow, KeepsElementsInOrder) {
    SigCollection<int> a(4);
    for (int i = 0; i < 4; i++) {
        a[i] = i + 1;
    }
    a.grow(100);
    ASSERT_EQ(a.getSize(), 4);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(a[i], i + 1);
    }
}

TEST(SigCollectionGrowDeath, BeyondMaxSize) {
    SigCollection<int> a;
    a.setMaxSize(10);
    a.grow(0);
    EXPECT_EQ(a.getAllocSize(), 8);
    EXPECT_EXIT(a.grow(0), ExitedWithCode(1),
                "^Error: Maximum size allowed for array exceeded.\n$");
}

TEST(SigCollectionGrow, UpToMaxSizeIsAllowed) {
    SigCollection<int> a;
    a.setMaxSize(8);
    a.grow(0);
    EXPECT_EQ(a.getAllocSize(), 8);
}

TEST(SigCollectionSize, SetSizeGrowsToExactlyTheSize) {
    SigCollection<int> a;
    EXPECT_EQ(a.setSize(13), 13);
    EXPECT_EQ(a.getSize(), 13);
    EXPECT_EQ(a.getAllocSize(), 13);
}

TEST(SigCollectionSize, SetSizeZeroKeepsTheBlock) {
    SigCollection<int> a(6);
    a[5] = 99;
    int* block = a.getBase();
    a.setSize(0);
    EXPECT_EQ(a.getSize(), 0);
    EXPECT_EQ(a.getAllocSize(), 6);
    EXPECT_EQ(a.getBase(), block);
    // The element beyond the new size is untouched.
    a.setSize(6);
    EXPECT_EQ(a[5], 99);
}

TEST(SigCollectionSizeDeath, NegativeSizeIsRefused) {
    SigCollection<int> a(2);
    EXPECT_EXIT(a.setSize(-1), ExitedWithCode(1), "invalid array location -1");
}

TEST(SigCollectionSize, SetAllocSizeAboveCapacitySetsSizeToo) {
    SigCollection<int> a;
    a.setAllocSize(10000);
    EXPECT_EQ(a.getAllocSize(), 10000);
    EXPECT_EQ(a.getSize(), 10000);
    a.setSize(0);
    EXPECT_EQ(a.getAllocSize(), 10000);
}

TEST(SigCollectionSize, SetAllocSizeBetweenSizeAndCapacityShrinksExactly) {
    SigCollection<int> a(20);
    a.setSize(3);
    a[0] = 1;
    a[1] = 2;
    a[2] = 3;
    a.setAllocSize(5);
    EXPECT_EQ(a.getAllocSize(), 5);
    EXPECT_EQ(a.getSize(), 3);
    EXPECT_EQ(a[2], 3);
}

TEST(SigCollectionSizeDeath, SetAllocSizeBelowSize) {
    SigCollection<int> a(4);
    EXPECT_EXIT(a.setAllocSize(3), ExitedWithCode(1),
                "^Error: cannot set allocated size smaller than actual size.\n$");
}

TEST(SigCollectionSize, ShrinkToKeepsElements) {
    SigCollection<int> a(10);
    a.setSize(2);
    a[0] = 5;
    a[1] = 6;
    a.shrinkTo(2);
    EXPECT_EQ(a.getAllocSize(), 2);
    EXPECT_EQ(a[0], 5);
    EXPECT_EQ(a[1], 6);
    a.setSize(0);
    a.shrinkTo(0);
    EXPECT_EQ(a.getAllocSize(), 0);
    a.append(1);
    EXPECT_EQ(a[0], 1);
}

TEST(SigCollectionSizeDeath, ShrinkToBelowSizeEndsSilently) {
    SigCollection<int> a(4);
    EXPECT_EXIT(a.shrinkTo(3), ExitedWithCode(1), "^$");
}

TEST(SigCollectionAppend, AppendOnFullArrayWithoutAutoGrow) {
    SigCollection<int> a(2);
    a.setGrowth(2);
    a.append(9);
    EXPECT_EQ(a.getSize(), 3);
    EXPECT_EQ(a.getAllocSize(), 4);
    EXPECT_EQ(a[2], 9);
}

TEST(SigCollectionAppend, AppendOfOwnElementAcrossAGrow) {
    SigCollection<std::string> a;
    a.setGrowth(1);
    a.append(std::string(40, 'x'));
    for (int i = 0; i < 5; i++) {
        a.append(a[0]);
    }
    ASSERT_EQ(a.getSize(), 6);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(a[i], std::string(40, 'x'));
    }
}

TEST(SigCollectionAppend, AppendOfTheSlotItselfIsSkipped) {
    SigCollection<int> a;
    a.setAutoGrow(true);
    a.grow(4);
    int& slot = a.getBase()[0];
    slot = 17;
    a.append(slot);
    EXPECT_EQ(a.getSize(), 1);
    EXPECT_EQ(a[0], 17);
}

TEST(SigCollectionAssign, SmallTargetTakesSourceSettings) {
    Array<int> source(3);
    source.setAutoGrow(true);
    source.setGrowth(50);
    source[0] = 1;
    source[1] = 2;
    source[2] = 3;
    Array<int> target(1);
    target = source;
    EXPECT_EQ(target.getSize(), 3);
    EXPECT_EQ(target.getAllocSize(), 3);
    EXPECT_TRUE(target.getAutoGrow());
    EXPECT_EQ(target.getGrowth(), 50);
    EXPECT_EQ(target[2], 3);
}

TEST(SigCollectionAssign, LargeTargetKeepsBlockAndSettings) {
    Array<int> source(2);
    source.setAutoGrow(true);
    source[0] = 4;
    source[1] = 5;
    Array<int> target(10);
    int* block = target.getBase();
    target = source;
    EXPECT_EQ(target.getBase(), block);
    EXPECT_EQ(target.getAllocSize(), 10);
    EXPECT_EQ(target.getSize(), 2);
    EXPECT_FALSE(target.getAutoGrow());
    EXPECT_EQ(target.getGrowth(), 10);
    EXPECT_EQ(target[1], 5);
}

TEST(SigCollectionAssign, SelfAssignmentChangesNothing) {
    Array<int> a(2);
    a[0] = 8;
    a[1] = 9;
    Array<int>& alias = a;
    a = alias;
    EXPECT_EQ(a.getSize(), 2);
    EXPECT_EQ(a[0], 8);
    EXPECT_EQ(a[1], 9);
}

TEST(SigCollectionAssign, EmptySourceEmptiesTarget) {
    SigCollection<int> source;
    SigCollection<int> target(3);
    target = source;
    EXPECT_EQ(target.getSize(), 0);
    EXPECT_EQ(target.getAllocSize(), 3);
}

TEST(SigCollectionPointers, TableOfPointersOwnsOnlyTheSlots) {
    int value = 3;
    SigCollection<int*> table;
    table.append(&value);
    table.append(nullptr);
    table.grow(100);
    EXPECT_EQ(table[0], &value);
    EXPECT_EQ(table[1], nullptr);
    EXPECT_EQ(value, 3);
}

} // namespace
