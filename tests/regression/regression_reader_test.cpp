// Files that once made the reader allocate without bound or slow down
// quadratically. Each is first run in a child within the limits, then read
// here to check what the reader made of it.
#include <string>

#include <gtest/gtest.h>

#include "childrun.h"
#include "pipeline.h"

namespace {

// 65,535 tracks, each chunk present: the reader reserved room for 10,000
// events in every one of them, some 650 million events (tens of GiB).
TEST(RegressionReader, EveryDeclaredTrackPresent) {
    const std::string path = pipeline::datafile("tracks-65535-present.mid");
    const childrun::result r = childrun::run([&] { pipeline::readwritedump(path); });
    EXPECT_WITHIN_LIMITS(r, 0);
    if (HasFailure()) {
        return;
    }
    MidiFile score(path.c_str());
    ASSERT_EQ(score.getTrackCount(), 65535);
    for (int t = 0; t < 65535; t++) {
        ASSERT_EQ(score.getNumEvents(t), 1) << t;
        ASSERT_EQ(score.getEvent(t, 0).data.getSize(), 3) << t;
        ASSERT_EQ(score.getEvent(t, 0).data[1], 0x2f) << t;
    }
}

// Half a million events behind a chunk length of 0: past the usual room of
// 10,000 the list regrew 8 events at a time, copying all of them each time.
TEST(RegressionReader, EventsPastAChunkLengthOfZero) {
    const std::string path = pipeline::datafile("events-past-chunk-length.mid");
    const childrun::result r = childrun::run([&] { pipeline::readwritedump(path); });
    EXPECT_WITHIN_LIMITS(r, 0);
    if (HasFailure()) {
        return;
    }
    MidiFile score(path.c_str());
    ASSERT_EQ(score.getTrackCount(), 1);
    // One program change with its status byte, then 524,275 under running
    // status, all at tick 0; the file has no end-of-track event.
    ASSERT_EQ(score.getNumEvents(0), 524276);
    for (int i = 0; i < score.getNumEvents(0); i++) {
        const MFEvent& e = score.getEvent(0, i);
        ASSERT_EQ(e.time, 0) << i;
        ASSERT_EQ(e.data.getSize(), 2) << i;
        ASSERT_EQ(e.data[0], 0xc0) << i;
        ASSERT_EQ(e.data[1], 5) << i;
    }
}

} // namespace
