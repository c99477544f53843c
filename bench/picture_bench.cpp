// Pictures: vennoroll-render drawing a roll as SVG, PNG and PDF, and making
// the demo roll's web page (with its sound, so with the build tree's bank),
// timed as a whole process from spawn to exit, with the size of the file.
#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <string>

#include "benchbody.h"
#include "benchsupport.h"

namespace {

void draw(benchmark::State& state, const benchroll& roll, const std::string& ending) {
    const std::string output = workdir() + "/picture-" + roll.name + "." + ending;
    double cpu = 0.0;
    for (auto _ : state) {
        processrun run = runprocess(
            {ending == "html" ? VENNOR_RENDER_BENCH : VENNOR_RENDER_BIN, roll.path, output});
        if (!run.started || run.status != 0) {
            state.SkipWithError("vennoroll-render failed");
            break;
        }
        state.SetIterationTime(run.seconds);
        cpu += run.cpuseconds;
    }
    struct stat written {};
    if (stat(output.c_str(), &written) == 0) {
        state.counters["file_MB"] = static_cast<double>(written.st_size) / 1e6;
    }
    if (state.iterations() > 0) {
        state.counters["cpu_ms"] = 1000.0 * cpu / static_cast<double>(state.iterations());
    }
}

} // namespace

// The demo roll and the 100k roll: the two the pictures are held to (demo
// PNG under 0.5 s; 100k SVG and PNG under 3 s each, the SVG under 20 MB);
// the demo's page, under 3 MB.
void registerpicturebenchmarks() {
    for (const benchroll& roll : benchrolls()) {
        if (roll.name != "demo" && roll.name != "100k") {
            continue;
        }
        for (const char* ending : {"svg", "png", "pdf", "html"}) {
            if (std::string(ending) == "html" && roll.name != "demo") {
                continue;
            }
            benchmark::RegisterBenchmark(
                ("picture_" + std::string(ending) + "/" + roll.name).c_str(), draw, roll,
                std::string(ending))
                ->UseManualTime()
                ->Iterations(roll.name == "demo" ? 10 : 3)
                ->Unit(benchmark::kMillisecond);
        }
    }
}
