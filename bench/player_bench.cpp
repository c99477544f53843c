// The player without sound: the roll interpretation per event, and the whole
// preparation from the argument checks to the score handed over.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <ctime>

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

double cpuseconds() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// What one forked run of the preparation measured.
struct preparetiming {
    double seconds = -1.0;
    double cpuseconds = 0.0;
    size_t handed = 0;
};

// Everything vennoroll does before fluid_player_add_mem, but the synthesiser
// set-up: banner, argument checks, reading, interpretation, validity test,
// sort, serialisation, playing time and op_buffer. Each run happens in a
// forked child, so that it meets memory as fresh as a new vennoroll process
// does (a loop in one process would reuse the memory its allocator kept
// from the run before, for small rolls but not for large ones) and its
// release at the end is not counted.
void prepare(benchmark::State& state, const benchroll& roll) {
    std::string name = "vennoroll";
    std::string path = roll.path;
    char* argv[] = {&name[0], &path[0], nullptr};
    quietstreams quiet;
    preparetiming total;
    total.seconds = 0.0;
    for (auto _ : state) {
        int channel[2];
        if (pipe(channel) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            preparetiming timing;
            const double cpu = cpuseconds();
            const double start = nowseconds();
            preparedroll prepared = prepareroll(2, argv);
            timing.seconds = nowseconds() - start;
            timing.cpuseconds = cpuseconds() - cpu;
            timing.handed = prepared.op_size;
            const bool sent = write(channel[1], &timing, sizeof timing) == sizeof timing;
            _exit(sent ? 0 : 1);
        }
        close(channel[1]);
        preparetiming timing;
        const bool got = child > 0 && read(channel[0], &timing, sizeof timing) == sizeof timing;
        close(channel[0]);
        if (child > 0) {
            waitpid(child, nullptr, 0);
        }
        if (!got) {
            state.SkipWithError("the forked preparation failed");
            break;
        }
        state.SetIterationTime(timing.seconds);
        total.seconds += timing.seconds;
        total.cpuseconds += timing.cpuseconds;
        total.handed = timing.handed;
    }
    state.SetItemsProcessed(state.iterations() * roll.events);
    state.counters["score_bytes"] = static_cast<double>(total.handed);
    if (state.iterations() > 0) {
        state.counters["cpu_ms"] =
            1000.0 * total.cpuseconds / static_cast<double>(state.iterations());
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
            ->Unit(benchmark::kMillisecond);
    }
}
