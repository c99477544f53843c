// FluidSynth apart from the preparation: the player's synthesiser set-up
// without a bank, and the loading of the organ bank alone.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <fluidsynth.h>

#include "benchbody.h"
#include "benchsupport.h"
#include "playback.h"
#include "state.h"

namespace {

bool bankbuilt() {
    struct stat info;
    return stat(VENNOR_BANK_FILE, &info) == 0 && info.st_size > 0;
}

// setupsynth() and teardownsynth() as vennoroll calls them, with font naming
// no file: settings, synthesiser, file player and audio driver.
void synthsetup(benchmark::State& state) {
    const char* kept = font;
    font = "/nonexistent/vennorbank-0.sf2";
    quietstreams quiet;
    bool driver = false;
    for (auto _ : state) {
        fluidhandles fluid;
        setupsynth(fluid);
        driver = fluid.adriver != nullptr;
        teardownsynth(fluid);
    }
    font = kept;
    state.counters["audio_driver"] = driver ? 1 : 0;
}

// fluid_synth_sfload of the organ bank into a fresh synthesiser; the file is
// in the page cache after the first iteration.
void bankload(benchmark::State& state) {
    if (!bankbuilt()) {
        state.SkipWithError("the organ bank " VENNOR_BANK_FILE " has not been built");
        return;
    }
    struct stat info;
    stat(VENNOR_BANK_FILE, &info);
    fluid_settings_t* settings = new_fluid_settings();
    for (auto _ : state) {
        fluid_synth_t* synth = new_fluid_synth(settings);
        const double start = nowseconds();
        const int id = fluid_synth_sfload(synth, VENNOR_BANK_FILE, 1);
        state.SetIterationTime(nowseconds() - start);
        if (id == FLUID_FAILED) {
            state.SkipWithError("FluidSynth refused the bank");
        }
        delete_fluid_synth(synth);
    }
    delete_fluid_settings(settings);
    state.counters["bank_MB"] = static_cast<double>(info.st_size) / 1e6;
}

} // namespace

void registersynthbenchmarks() {
    // FluidSynth's own messages (the missing bank of synth_setup, presets the
    // bank lacks) would be printed at every iteration.
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    benchmark::RegisterBenchmark("synth_setup", synthsetup)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("bank_load", bankload)
        ->UseManualTime()
        ->Iterations(10)
        ->Unit(benchmark::kMillisecond);
}
