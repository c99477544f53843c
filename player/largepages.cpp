// The programs' own operator new: malloc, plus transparent huge pages over big
// blocks and over the heap as it grows. A long roll fills a few hundred
// megabytes of fresh memory while it is read and interpreted, and on virtual
// machines the first touch of each 4 KiB page is dear (about 11 us here, most
// of a million-event preparation). With huge pages one fault maps 2 MiB.
// Where the kernel offers no huge pages, madvise fails and nothing changes.
// Linked into the executables only: the model stays a plain library.
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

constexpr std::uintptr_t hugepage = std::uintptr_t{2} << 20;

// Advises the whole huge pages inside [from, to).
void advise(std::uintptr_t from, std::uintptr_t to) {
    const std::uintptr_t first = (from + hugepage - 1) & ~(hugepage - 1);
    const std::uintptr_t last = to & ~(hugepage - 1);
    if (first < last) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

// The heap end up to which huge pages have been asked for.
std::atomic<std::uintptr_t> advisedend{0};

bool setup() {
    // The heap grows in steps of 32 MiB, so that each step can be advised
    // before most of it is touched (a huge page needs its 2 MiB untouched).
    // Blocks below 32 MiB (the most malloc allows) come from the heap too,
    // and freed memory stays there for reuse instead of being faulted in
    // again.
    mallopt(M_TOP_PAD, 32 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    advisedend = reinterpret_cast<std::uintptr_t>(sbrk(0));
    return true;
}

void* allocate(std::size_t n) {
    static const bool ready = setup();
    (void)ready;
    void* p = std::malloc(n == 0 ? 1 : n);
    if (p == nullptr) {
        std::fputs("Error: out of memory\n", stderr);
        std::_Exit(1);
    }
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(p);
    if (n >= hugepage) {
        // Blocks of their own mapping (and big ones carved from the heap).
        advise(at, at + n);
    }
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    std::uintptr_t seen = advisedend.load(std::memory_order_relaxed);
    if (end > seen && advisedend.compare_exchange_strong(seen, end)) {
        advise(seen, end);
    }
    return p;
}

} // namespace

void* operator new(std::size_t n) {
    return allocate(n);
}

void* operator new[](std::size_t n) {
    return allocate(n);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete[](void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
