// Time to load the bank into FluidSynth as the player does, cold (the file dropped from
// the page cache first) and warm. The target here is half a second cold; the bound is
// generous so that a busy machine does not fail the build.
#include "offline_synth.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct LoadTime {
    double wall = -1.0; // seconds, as a listener waits
    double cpu = -1.0;  // seconds of this process's processor time
};

LoadTime timeLoad() {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.gain", 1.0);
    fluid_settings_setstr(settings, "synth.midi-bank-select", "gs");
    fluid_synth_t* synth = new_fluid_synth(settings);
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpuStart = std::clock();
    int id = -1;
    if (fluid_is_soundfont(bankPath())) {
        id = fluid_synth_sfload(synth, bankPath(), 1);
    }
    std::clock_t cpuEnd = std::clock();
    auto end = std::chrono::steady_clock::now();
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    LoadTime t;
    if (id >= 0) {
        t.wall = std::chrono::duration<double>(end - start).count();
        t.cpu = static_cast<double>(cpuEnd - cpuStart) / CLOCKS_PER_SEC;
    }
    return t;
}

// Asks the kernel to forget the bank's cached pages (clean pages of this one file only).
bool dropFromPageCache() {
    int fd = open(bankPath(), O_RDONLY);
    if (fd < 0) {
        return false;
    }
    bool ok = posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    close(fd);
    return ok;
}

TEST(BankLoadTime, ColdAndWarmLoadsAreQuick) {
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    ASSERT_TRUE(dropFromPageCache());
    LoadTime cold = timeLoad();
    LoadTime warm = timeLoad();
    ASSERT_GE(cold.wall, 0.0);
    ASSERT_GE(warm.wall, 0.0);
    std::printf("fluid_synth_sfload: %.3f s cold (%.3f s processor), %.3f s warm (%.3f s "
                "processor)\n",
                cold.wall, cold.cpu, warm.wall, warm.cpu);
    EXPECT_LT(cold.wall, 3.0);
    EXPECT_LT(warm.wall, 2.0);
}

} // namespace
