// The roll's header texts and tempo: the lines printed, the events copied into
// the output score, and the tempo that converts ticks.
#include <string>

#include "rollfixture.h"

namespace {

std::string scan(Roll& roll) {
    testing::internal::CaptureStdout();
    interpret(roll);
    return testing::internal::GetCapturedStdout();
}

TEST(HeaderScan, TextsAndTempoInRollOrder) {
    Roll roll;
    roll.meta(0, 2, "(c) 1927 Estey").tempo(0, 500000).meta(0, 3, "Hymn").meta(5, 1, "Roll 165");
    EXPECT_EQ(scan(roll), "Copyright: (c) 1927 Estey\nInput tempo: 120.0\nTitle: Hymn\nRoll 165\n");
    EXPECT_EQ(trackevents(0), (std::vector<Ev>{{0, metabytes(2, "(c) 1927 Estey")},
                                               {0, metabytes(3, "Hymn")},
                                               {0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}}));
    EXPECT_EQ(trackevents(1).back(), (Ev{0, metabytes(1, "Roll 165")}));
    EXPECT_EQ(iptempo, 120.0);
    EXPECT_TRUE(iptempovalid);
    EXPECT_TRUE(copyright.empty() && title.empty() && description.empty());
}

TEST(HeaderScan, EveryTextEventHasItsLineAndEvent) {
    // Wherever they stand, texts go to tick 0.
    Roll roll;
    roll.meta(0, 3, "One").meta(400, 3, "Two").meta(800, 1, "a").meta(900, 1, "b");
    EXPECT_EQ(scan(roll), "Title: One\nTitle: Two\na\nb\n");
    std::vector<Ev> t0 = trackevents(0);
    ASSERT_EQ(t0.size(), 3u);
    EXPECT_EQ(t0[1], (Ev{0, metabytes(3, "Two")}));
    std::vector<Ev> t1 = trackevents(1);
    ASSERT_EQ(t1.size(), 5u);
    EXPECT_EQ(t1[4], (Ev{0, metabytes(1, "b")}));
}

TEST(HeaderScan, NoTempoEvent) {
    Roll roll;
    EXPECT_EQ(scan(roll), "");
    EXPECT_EQ(iptempo, 85.0);
    EXPECT_FALSE(iptempovalid);
    EXPECT_EQ(trackevents(0), (std::vector<Ev>{{0, {0xFF, 0x51, 0x03, 0x0A, 0xC5, 0x5A}}}));
    EXPECT_FALSE(std::cout.flags() & std::ios::fixed);
}

TEST(HeaderScan, OutOfRangeTempoStillConverts) {
    Roll roll;
    roll.tempo(0, 8000000);
    EXPECT_EQ(scan(roll), "Input tempo: 7.5\nout of range iptempo, not used\n");
    EXPECT_EQ(iptempo, 7.5);
    EXPECT_FALSE(iptempovalid);
    EXPECT_EQ(optempo, 85.0);
}

TEST(HeaderScan, RangeBoundsAreAccepted) {
    Roll slow;
    slow.tempo(0, 6000000);
    EXPECT_EQ(scan(slow), "Input tempo: 10.0\n");
    EXPECT_TRUE(iptempovalid);
    Roll fast;
    fast.tempo(0, 300000);
    EXPECT_EQ(scan(fast), "Input tempo: 200.0\n");
    EXPECT_TRUE(iptempovalid);
    EXPECT_EQ(optempo, 200.0);
}

TEST(HeaderScan, LastTempoEventDecides) {
    Roll roll;
    roll.tempo(0, 500000).hole(6, 192, 384).tempo(1000, 8000000);
    EXPECT_EQ(scan(roll), "Input tempo: 120.0\nInput tempo: 7.5\nout of range iptempo, not used\n");
    EXPECT_EQ(iptempo, 7.5);
    EXPECT_FALSE(iptempovalid);
    Roll back;
    back.tempo(0, 8000000).tempo(1000, 500000);
    scan(back);
    EXPECT_TRUE(iptempovalid);
    EXPECT_EQ(optempo, 120.0);
}

TEST(HeaderScan, ZeroTempoIsPrintedButNotUsed) {
    Roll roll;
    roll.tempo(0, 500000).tempo(10, 0).hole(6, 192, 384);
    EXPECT_EQ(scan(roll), "Input tempo: 120.0\nInput tempo: inf\nout of range iptempo, not used\n");
    EXPECT_EQ(iptempo, 120.0); // the previous tempo still converts
    EXPECT_FALSE(iptempovalid);
    EXPECT_EQ(optempo, 85.0);
    EXPECT_EQ(notes(1), (std::vector<Ev>{{192, {0x90, 36, 65}}, {384, {0x80, 36, 65}}}));
}

TEST(HeaderScan, LongTextIsCopiedWhole) {
    std::string text(200, 'x');
    text[199] = 'y';
    Roll roll;
    roll.meta(0, 1, text);
    EXPECT_EQ(scan(roll), text + "\n");
    EXPECT_EQ(trackevents(1).back(), (Ev{0, metabytes(1, text)}));
}

TEST(HeaderScan, ZeroByteEndsTheCopyNotTheLine) {
    std::string text("ab\0cd", 5);
    Roll roll;
    roll.meta(0, 2, text);
    EXPECT_EQ(scan(roll), "Copyright: " + text + "\n");
    EXPECT_EQ(trackevents(0)[0], (Ev{0, metabytes(2, "ab")}));
}

TEST(HeaderScan, ShortEventsArePassedOver) {
    // An empty text (3 bytes), a tempo without its three data bytes, and a
    // channel message of four bytes are no header events.
    Roll roll;
    roll.bytes(0, {0xFF, 0x02, 0x00}).bytes(0, {0xFF, 0x51, 0x01, 0x07});
    roll.bytes(0, {0xFF, 0x51, 0x02, 0x07, 0xA1}).bytes(0, {0xF0, 0x02, 0x01, 0xF7});
    EXPECT_EQ(scan(roll), "");
    EXPECT_EQ(iptempo, 85.0);
    EXPECT_EQ(trackevents(0).size(), 1u); // the output tempo only
}

TEST(HeaderScan, TempoLineLeavesFixedFormat) {
    Roll roll;
    roll.tempo(0, 500000);
    scan(roll);
    testing::internal::CaptureStdout();
    std::cout << 1.25 << " " << 2.0 / 3.0 << std::endl;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1.2 0.7\n");
    resetplayerstate();
    testing::internal::CaptureStdout();
    std::cout << 2.0 / 3.0 << std::endl;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "0.666667\n");
}

} // namespace
