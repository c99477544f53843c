// The player without sound: the roll interpretation per event, and the whole
// preparation from the argument checks to the score handed over.
#include <benchmark/benchmark.h>

#include "benchbody.h"
#include "benchsupport.h"
#include "preparation.h"
#include "rollcore.h"

namespace {

// Frame, header pass and hole walk over a roll already read: the work that
// grows with the roll's events.
void interpret(benchmark::State& state, const benchroll& roll) {
    MidiFile inputfile(roll.path.c_str());
    inputfile.absoluteTime();
    Array<double> holestart(holecount);
    double lastendtime = 0.0;
    quietstreams quiet;
    for (auto _ : state) {
        state.PauseTiming();
        resetplayerstate();
        prepareholes(holestart, lastendtime);
        state.ResumeTiming();
        buildscoreframe(inputfile);
        headerpass(inputfile);
        walkholes(inputfile, holestart, lastendtime);
        benchmark::DoNotOptimize(outputfile.getNumEvents(pedaltrack));
    }
    state.SetItemsProcessed(state.iterations() * roll.events);
    resetplayerstate();
}

// Everything vennoroll does before fluid_player_add_mem, but the synthesiser
// set-up: banner, argument checks, reading, interpretation, validity test,
// sort, serialisation, playing time and op_buffer.
void prepare(benchmark::State& state, const benchroll& roll) {
    std::string name = "vennoroll";
    std::string path = roll.path;
    char* argv[] = {&name[0], &path[0], nullptr};
    quietstreams quiet;
    size_t handed = 0;
    for (auto _ : state) {
        preparedroll prepared = prepareroll(2, argv);
        handed = prepared.op_size;
        state.PauseTiming();
        prepared.inputfile.reset();
        resetplayerstate();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * roll.events);
    state.counters["score_bytes"] = static_cast<double>(handed);
}

} // namespace

void registerplayerbenchmarks() {
    for (const benchroll& roll : benchrolls()) {
        benchmark::RegisterBenchmark(("interpret/" + roll.name).c_str(), interpret, roll)
            ->Unit(benchmark::kMillisecond);
    }
    for (const benchroll& roll : benchrolls()) {
        benchmark::RegisterBenchmark(("prepare/" + roll.name).c_str(), prepare, roll)
            ->Unit(benchmark::kMillisecond);
    }
}
