// The executables' operator new: huge pages asked for over big blocks and the
// growing heap, memory that works like malloc's, and a clean end when memory
// runs out. Linked with largepages.cpp in a program of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// Whether the kernel gives huge pages to regions that ask for them.
bool hugepagesoffered() {
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    return std::getline(in, line) && line.find("[never]") == std::string::npos;
}

// The VmFlags of the mapping that holds address p, or "" if none does.
std::string mappingflags(const void* p) {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> from >> dash >> to && dash == '-') {
            inside = from <= at && at < to;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return "";
}

bool advised(const void* p) {
    return mappingflags(p).find(" hg") != std::string::npos;
}

TEST(LargePages, BigBlocksAndTheGrowingHeapAskForHugePages) {
    if (!hugepagesoffered()) {
        GTEST_SKIP() << "transparent huge pages are off on this machine";
    }
    const std::size_t big = std::size_t{64} << 20;
    char* block = new char[big];
    std::memset(block, 1, big);
    EXPECT_TRUE(advised(block + big / 2)) << mappingflags(block + big / 2);
    delete[] block;

    // A million small blocks grow the heap well past one 32 MiB step; the
    // ones in the middle lie in advised memory.
    std::vector<int*> small;
    small.reserve(1000000);
    for (int i = 0; i < 1000000; i++) {
        small.push_back(new int(i));
    }
    EXPECT_TRUE(advised(small[700000])) << mappingflags(small[700000]);
    for (int i = 0; i < 1000000; i += 1000) {
        ASSERT_EQ(*small[static_cast<std::size_t>(i)], i);
    }
    for (int* p : small) {
        delete p;
    }
}

TEST(LargePages, MemoryBehavesAsMallocsFromManyThreads) {
    // Zero-byte requests still give distinct blocks.
    char* a = new char[0];
    char* b = new char[0];
    EXPECT_NE(a, nullptr);
    EXPECT_NE(a, b);
    delete[] a;
    delete[] b;

    // Threads allocate, fill, check and free blocks of sizes on both sides
    // of the huge-page threshold at once.
    std::vector<std::thread> threads;
    std::vector<int> bad(4, 0);
    for (int t = 0; t < 4; t++) {
        threads.emplace_back([t, &bad] {
            for (int round = 0; round < 200; round++) {
                const std::size_t n = (round % 7 == 0) ? (std::size_t{3} << 20) : 100 + round;
                auto* p = new unsigned char[n];
                std::memset(p, t + round, n);
                if (p[0] != static_cast<unsigned char>(t + round) ||
                    p[n - 1] != static_cast<unsigned char>(t + round)) {
                    bad[static_cast<std::size_t>(t)]++;
                }
                delete[] p;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(bad, std::vector<int>(4, 0));
}

TEST(LargePagesDeathTest, ExhaustedMemoryEndsWithOneLine) {
    // More than any address space holds: malloc refuses at once.
    volatile std::size_t huge = std::size_t{1} << 62;
    EXPECT_EXIT(
        {
            char* volatile p = new char[huge];
            p[0] = 1;
        },
        testing::ExitedWithCode(1), "^Error: out of memory\n$");
}

} // namespace
