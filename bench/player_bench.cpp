// The player without sound: the roll interpretation per event, and the whole
// preparation from the argument checks to the score handed over.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "benchbody.h"
#include "benchsupport.h"
#include "rollcore.h"

namespace {

// The interpretation step of preparescore (frame, header pass and hole walk)
// over a roll already read: the work that grows with the roll's events.
void interpret(benchmark::State& state, const benchroll& roll) {
    MidiFile inputfile;
    quietstreams quiet;
    readroll(roll.path.c_str(), inputfile);
    for (auto _ : state) {
        state.PauseTiming();
        resetplayerstate();
        state.ResumeTiming();
        benchmark::DoNotOptimize(interpretroll(inputfile));
        benchmark::DoNotOptimize(outputfile.getNumEvents(pedaltrack));
    }
    state.SetItemsProcessed(state.iterations() * roll.events);
    resetplayerstate();
}

// Everything vennoroll does before fluid_player_add_mem, but the synthesiser
// set-up: banner, argument checks, reading, interpretation, validity test,
// sort, serialisation, playing time and op_buffer. Each run is a fresh
// prepare_roll process that times itself from the entry of main to the
// hand-over: memory as fresh as in a new vennoroll, no start-up or release
// counted. (A loop in this process would reuse memory its allocator kept from
// the run before, for small rolls but not for large ones.)
void prepare(benchmark::State& state, const benchroll& roll) {
    const std::string times = workdir() + "/prepare-times-" + roll.name;
    double cpu = 0.0;
    double handed = 0.0;
    // One untimed run first: after a quiet spell the host backs a process's
    // first few hundred megabytes slowly, and one such run would weigh on the
    // mean of the few timed runs of the largest roll.
    runprocess({VENNOR_PREPARE_ROLL, roll.path});
    for (auto _ : state) {
        std::remove(times.c_str());
        processrun run =
            runprocess({VENNOR_PREPARE_ROLL, roll.path}, {"VENNOR_PREPARE_TIMES=" + times});
        double seconds = -1.0;
        double cpuseconds = 0.0;
        FILE* in = std::fopen(times.c_str(), "r");
        const bool got =
            in != nullptr && std::fscanf(in, "%lf %lf %lf", &seconds, &cpuseconds, &handed) == 3;
        if (in != nullptr) {
            std::fclose(in);
        }
        if (!run.started || run.status != 0 || !got) {
            state.SkipWithError("prepare_roll failed");
            break;
        }
        state.SetIterationTime(seconds);
        cpu += cpuseconds;
    }
    state.SetItemsProcessed(state.iterations() * roll.events);
    state.counters["score_bytes"] = handed;
    if (state.iterations() > 0) {
        state.counters["cpu_ms"] = 1000.0 * cpu / static_cast<double>(state.iterations());
    }
}

} // namespace

void registerplayerbenchmarks() {
    for (const benchroll& roll : benchrolls()) {
        benchmark::RegisterBenchmark(("interpret/" + roll.name).c_str(), interpret, roll)
            ->Unit(benchmark::kMillisecond);
    }
    for (const benchroll& roll : benchrolls()) {
        benchmark::RegisterBenchmark(("prepare/" + roll.name).c_str(), prepare, roll)
            ->UseManualTime()
            ->Iterations(roll.events > 500000  ? 5
                         : roll.events > 50000 ? 10
                                               : 40)
            ->Unit(benchmark::kMillisecond);
    }
}
