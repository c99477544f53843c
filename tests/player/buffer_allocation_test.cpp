// The player's buffer: a size that cannot be allocated ends the run with the
// line on standard error.
#include <cstdint>

#include "rollfixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define VENNOR_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VENNOR_ASAN 1
#endif
#endif

namespace {

TEST(BufferAllocationDeathTest, ImpossibleSizeIsReported) {
#ifdef VENNOR_ASAN
    GTEST_SKIP() << "AddressSanitizer stops on an impossible allocation itself";
#else
    resetplayerstate();
    std::string bytes = "MThd";
    EXPECT_EXIT(fillopbuffer(bytes, SIZE_MAX - 7), ::testing::ExitedWithCode(1),
                "^op_buffer allocation failed\n$");
#endif
}

} // namespace
