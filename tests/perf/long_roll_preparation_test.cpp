// A roll of a million hole events is prepared, from the argument checks to the
// score handed over, within a generous bound: the cost of preparing grows
// linearly with the roll.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "../support/sanitized.h"
#include "preparation.h"
#include "rollcore.h"
#include "rollgen.h"

namespace {

const int millionevents = 1000000;

TEST(LongRollPreparation, MillionEventRollPreparesInBoundedTime) {
#if VENNOR_SANITIZED || !defined(NDEBUG)
    GTEST_SKIP() << "timing bound holds for optimised builds without sanitizers";
#endif
    std::string path = ::testing::TempDir() + "long_roll_million.mid";
    ASSERT_TRUE(writeroll(path, millionevents));
    std::string name = "vennoroll";
    char* argv[] = {&name[0], &path[0], nullptr};

    resetplayerstate();
    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    const size_t op_size = prepareroll(2, argv);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string report = testing::internal::GetCapturedStdout();

    // The target is under 1 s on an idle machine; 15 s leaves room for a
    // loaded one, and a quadratic path takes minutes.
    EXPECT_LT(seconds, 15.0);
    EXPECT_NE(report.find("Playing time: "), std::string::npos);
    // Every hole closing of a note hole made a note-on and a note-off.
    long notes = 0;
    for (int track = pedaltrack; track <= greattrack; track++) {
        const int count = outputfile.getNumEvents(track);
        // Room doubles: never more than twice the events it holds.
        EXPECT_LE(outputfile.getEventCapacity(track), 2 * count);
        for (int i = 0; i < count; i++) {
            notes += (outputfile.getEvent(track, i).data[0] & 0xF0) == 0x90 ? 1 : 0;
        }
    }
    EXPECT_GT(notes, 400000);
    EXPECT_GT(op_size, static_cast<size_t>(3000000));
    resetplayerstate();
}

TEST(LongRollPreparation, PreparedScoreIsTheSameForEveryRun) {
    std::string path = ::testing::TempDir() + "long_roll_repeat.mid";
    ASSERT_TRUE(writeroll(path, 30000));
    std::string name = "vennoroll";
    char* argv[] = {&name[0], &path[0], nullptr};
    std::string first;
    for (int run = 0; run < 2; run++) {
        resetplayerstate();
        testing::internal::CaptureStdout();
        const size_t op_size = prepareroll(2, argv);
        testing::internal::GetCapturedStdout();
        std::string bytes(reinterpret_cast<const char*>(op_buffer), op_size);
        if (run == 0) {
            first = bytes;
        } else {
            EXPECT_EQ(bytes, first);
        }
    }
    // Past the 10,000 events reserved per track, nothing was lost: the
    // written score reads back with every note of the roll.
    MidiFile written;
    std::string path2 = ::testing::TempDir() + "long_roll_written.mid";
    ASSERT_EQ(outputfile.write(path2.c_str()), 1);
    ASSERT_EQ(written.read(path2.c_str()), 1);
    ASSERT_EQ(written.getTrackCount(), 16);
    for (int track = pedaltrack; track <= greattrack; track++) {
        EXPECT_EQ(written.getNumEvents(track), outputfile.getNumEvents(track) + 1);
    }
    resetplayerstate();
}

} // namespace
