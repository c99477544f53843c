// The player's run sequence without FluidSynth: from the banner and the
// argument checks to the serialised score in op_buffer, the moment vennoroll
// hands it to the synthesiser's file player.
#ifndef VENNOR_BENCH_PREPARATION_H
#define VENNOR_BENCH_PREPARATION_H

#include <cstddef>

// Runs the sequence on argv as vennoroll would receive it and returns the
// bytes of op_buffer handed over. Every refusal ends the process with
// vennoroll's message and status. Between two calls in one process,
// resetplayerstate() must run.
size_t prepareroll(int argc, char** argv);

#endif
