// Side by side with midicsv: the same rolls, each tool a whole process with
// its output sent to /dev/null. midicsv parses a file and prints every event
// as text; prepare_roll runs vennoroll's sequence up to the hand-over.
#include <benchmark/benchmark.h>

#include "benchbody.h"
#include "benchsupport.h"

namespace {

void timeprocess(benchmark::State& state, const std::vector<std::string>& argv) {
    double cpu = 0.0;
    for (auto _ : state) {
        processrun run = runprocess(argv);
        if (!run.started || run.status != 0) {
            state.SkipWithError((argv[0] + " failed on " + argv[1]).c_str());
            break;
        }
        state.SetIterationTime(run.seconds);
        cpu += run.cpuseconds;
    }
    if (state.iterations() > 0) {
        state.counters["cpu_ms"] = 1000.0 * cpu / static_cast<double>(state.iterations());
    }
}

void midicsv(benchmark::State& state, const benchroll& roll) {
    static const std::string program = findprogram("midicsv");
    if (program.empty()) {
        state.SkipWithError("midicsv is not installed (Debian package midicsv): no comparison");
        return;
    }
    timeprocess(state, {program, roll.path});
}

void prepareprocess(benchmark::State& state, const benchroll& roll) {
    timeprocess(state, {VENNOR_PREPARE_ROLL, roll.path});
}

int runsfor(const benchroll& roll) {
    return roll.events > 500000 ? 3 : roll.events > 50000 ? 10 : 40;
}

} // namespace

void registerpeerbenchmarks() {
    for (const benchroll& roll : benchrolls()) {
        benchmark::RegisterBenchmark(("midicsv_process/" + roll.name).c_str(), midicsv, roll)
            ->UseManualTime()
            ->Iterations(runsfor(roll))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("prepare_process/" + roll.name).c_str(), prepareprocess, roll)
            ->UseManualTime()
            ->Iterations(runsfor(roll))
            ->Unit(benchmark::kMillisecond);
    }
}
