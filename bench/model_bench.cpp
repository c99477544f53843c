// Reading and writing Standard MIDI Files with the model.
#include <benchmark/benchmark.h>

#include <sstream>

#include "MidiFile.h"
#include "benchbody.h"
#include "benchsupport.h"

namespace {

void readsmf(benchmark::State& state, const benchroll& roll) {
    for (auto _ : state) {
        auto* score = new MidiFile();
        benchmark::DoNotOptimize(score->read(roll.path.c_str()));
        state.PauseTiming();
        delete score;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * roll.bytes);
    state.SetItemsProcessed(state.iterations() * roll.events);
}

void writesmf(benchmark::State& state, const benchroll& roll) {
    MidiFile score;
    score.read(roll.path.c_str());
    std::ostringstream out;
    long written = 0;
    for (auto _ : state) {
        out.str(std::string());
        score.write(out);
        written = static_cast<long>(out.tellp());
    }
    state.SetBytesProcessed(state.iterations() * written);
    state.SetItemsProcessed(state.iterations() * roll.events);
}

} // namespace

void registermodelbenchmarks() {
    for (const benchroll& roll : benchrolls()) {
        benchmark::RegisterBenchmark(("read_smf/" + roll.name).c_str(), readsmf, roll)
            ->Unit(benchmark::kMillisecond);
    }
    for (const benchroll& roll : benchrolls()) {
        benchmark::RegisterBenchmark(("write_smf/" + roll.name).c_str(), writesmf, roll)
            ->Unit(benchmark::kMillisecond);
    }
}
