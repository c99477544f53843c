#include "harness.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

extern "C" [[noreturn]] void __real_exit(int status);
extern "C" [[noreturn]] void __wrap_exit(int status);

namespace {

std::jmp_buf landing;
bool armed = false;

// Descriptors open before the first run; anything else found open after an
// exit was left by the run (the reader's file stream is never closed then).
const int fdscan = 64;
bool openatstart[fdscan];

void markopenfds() {
    for (int fd = 0; fd < fdscan; fd++) {
        openatstart[fd] = fcntl(fd, F_GETFD) != -1;
    }
}

void closestrayfds() {
    for (int fd = 3; fd < fdscan; fd++) {
        if (!openatstart[fd] && fcntl(fd, F_GETFD) != -1) {
            close(fd);
        }
    }
}

// Runs one input and releases what it left, so that every input starts from
// the same state (what a run costs to undo belongs to that run's coverage);
// false when the code under test called exit(1).
bool runone(const fuzztarget& target, const char* path) {
    if (setjmp(landing) != 0) {
        closestrayfds();
        target.cleanup();
        return false;
    }
    armed = true;
    target.run(path);
    armed = false;
    target.cleanup();
    return true;
}

// The input file, in memory only.
struct inputfile {
    int fd = -1;
    char path[64] = {0};

    bool open() {
        fd = memfd_create("vennor-fuzz-input", 0);
        if (fd < 0) {
            return false;
        }
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
        return true;
    }

    bool fill(const unsigned char* bytes, size_t length) {
        if (ftruncate(fd, 0) != 0) {
            return false;
        }
        size_t done = 0;
        while (done < length) {
            const ssize_t n = pwrite(fd, bytes + done, length - done, static_cast<off_t>(done));
            if (n <= 0) {
                return false;
            }
            done += static_cast<size_t>(n);
        }
        return true;
    }
};

// Replay: every file named on the command line, once.
int replay(int argc, char** argv, const fuzztarget& target) {
    for (int i = 1; i < argc; i++) {
        const bool ended = runone(target, argv[i]);
        std::fflush(stdout);
        std::fprintf(stderr, "%s: %s\n", argv[i], ended ? "ran to its end" : "exit status 1");
    }
    return 0;
}

} // namespace

// What an exit leaves behind is abandoned on purpose (the program would end
// there); leaks are looked for by the sanitizer build of the tests instead.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

extern "C" void __wrap_exit(int status) {
    if (armed) {
        armed = false;
        if (status != 1) {
            std::fprintf(stderr, "the code under test ended with exit status %d\n", status);
            std::abort();
        }
        std::longjmp(landing, 1);
    }
    __real_exit(status);
}

#ifdef __AFL_FUZZ_TESTCASE_LEN
__AFL_FUZZ_INIT();
#endif

int fuzzmain(int argc, char** argv, const fuzztarget& target) {
    if (argc > 1) {
        markopenfds();
        return replay(argc, argv, target);
    }
#ifdef __AFL_FUZZ_TESTCASE_LEN
    inputfile input;
    if (!input.open()) {
        std::perror("memfd_create");
        return 2;
    }
    markopenfds();
    target.cleanup();
    __AFL_INIT();
    const unsigned char* buffer = __AFL_FUZZ_TESTCASE_BUF;
    // A fresh process every few thousand inputs bounds what exits leave
    // behind (the reader's file stream and scratch event).
    while (__AFL_LOOP(2000)) {
        const int length = __AFL_FUZZ_TESTCASE_LEN;
        if (length < 0 || !input.fill(buffer, static_cast<size_t>(length))) {
            std::perror("input file");
            std::abort();
        }
        runone(target, input.path);
    }
    return 0;
#else
    std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
    return 2;
#endif
}
