// The loop shared by the fuzz targets. Each input is written to a file, since
// the reader takes a path, and handed to the target's run function.
//
// The program's answer to a bad roll is a message and exit status 1. Linked
// with -Wl,--wrap=exit, such an exit ends only the current run: control comes
// back here, the target drops what the run left behind, and the next input
// follows. Any other exit status is a finding and aborts.
//
// Built with AFL++'s compiler, the inputs come from the fuzzer through shared
// memory in a persistent loop. Built with any other compiler, every file named
// on the command line is run once and its end is reported on standard error.
#ifndef VENNOR_FUZZ_HARNESS_H
#define VENNOR_FUZZ_HARNESS_H

struct fuzztarget {
    // Runs the code under test on the file at path.
    void (*run)(const char* path);
    // Releases what a run left behind, whether it returned or exited, and
    // puts the program-wide state back as it was at start-up; the harness
    // calls it once before the first run and after every run.
    void (*cleanup)();
};

int fuzzmain(int argc, char** argv, const fuzztarget& target);

#endif
