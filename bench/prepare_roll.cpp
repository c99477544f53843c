// prepare_roll: vennoroll without sound. Runs the same sequence up to the
// hand-over of the score, then exits, so that its whole process can be timed
// and measured beside other command-line MIDI tools. When the environment
// names a file in VENNOR_PREPARE_TIMES, the preparation's own real and
// processor seconds (from the entry of main to the hand-over) are written
// there.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "preparation.h"

namespace {

double clockseconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
    const double start = clockseconds(CLOCK_MONOTONIC);
    const double cpu = clockseconds(CLOCK_PROCESS_CPUTIME_ID);
    const size_t op_size = prepareroll(argc, argv);
    const double seconds = clockseconds(CLOCK_MONOTONIC) - start;
    const double cpuseconds = clockseconds(CLOCK_PROCESS_CPUTIME_ID) - cpu;
    if (const char* path = std::getenv("VENNOR_PREPARE_TIMES")) {
        if (FILE* out = std::fopen(path, "w")) {
            std::fprintf(out, "%.9f %.9f %zu\n", seconds, cpuseconds, op_size);
            std::fclose(out);
        }
    }
    return op_size > 0 ? 0 : 1;
}
