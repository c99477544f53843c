// The player's run sequence without FluidSynth: from the banner and the
// argument checks to the serialised score in op_buffer, the moment vennoroll
// hands it to the synthesiser's file player.
#ifndef VENNOR_BENCH_PREPARATION_H
#define VENNOR_BENCH_PREPARATION_H

#include <cstddef>
#include <memory>

#include "MidiFile.h"

struct preparedroll {
    std::unique_ptr<MidiFile> inputfile; // the roll, alive as long as in vennoroll's main
    size_t op_size = 0;                  // bytes of op_buffer handed over
};

// Runs the sequence on argv as vennoroll would receive it. Every refusal ends
// the process with vennoroll's message and status. Between two calls in one
// process, resetplayerstate() must run.
preparedroll prepareroll(int argc, char** argv);

#endif
