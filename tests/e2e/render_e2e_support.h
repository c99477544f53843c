// Helpers for the tests of vennoroll-render and the progress display: rolls
// written with the model, the built programs run with a timeout (with pipes or
// under a pseudo-terminal), a private folder per test, and the output score
// that rollcore makes in this process for comparison.
#ifndef VENNOR_TESTS_RENDER_E2E_SUPPORT_H
#define VENNOR_TESTS_RENDER_E2E_SUPPORT_H

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/folder.h"
#include "../support/paths.h"
#include "../support/prepared.h"
#include "../support/process.h"
#include "../support/roll.h"
#include "performance.h"
#include "rollcore.h"

// The built programs and the bank (tests/e2e/render.cmake).
#define RENDER_BIN testpath("RENDER_BIN")
#define VENNOROLL_BIN testpath("VENNOROLL_BIN")
#define BANK_PATH testpath("BANK_PATH")

namespace e2e {

// Every program run ends within this, or is killed and reported as hung.
const int timeoutseconds = 120;

using ::Folder;
using ::writefile;

// Runs a program with HOME set to the folder's home, in the folder as working
// directory.
inline Where in(const Folder& folder) {
    Where where;
    where.home = folder.home();
    where.cwd = folder.path;
    where.scratch = folder.path;
    where.seconds = timeoutseconds;
    return where;
}

inline RunResult run(const Folder& folder, const std::vector<std::string>& args) {
    return runprogram(args[0], args, in(folder));
}

inline RunResult runonterminal(const Folder& folder, const std::vector<std::string>& args) {
    return ::runonterminal(args[0], args, in(folder));
}

// A short playable roll: a title, 120 beats a minute, ten pedal notes (required
// holes) of a quarter each, with a great and a swell note held over them.
// It ends at tick 10 * 192 = 1920, 5 seconds at its own tempo.
inline Roll& shortroll(Roll& roll) {
    roll.tempo(500000).text(3, "Render test").text(2, "none");
    for (int i = 0; i < 10; i++) {
        roll.hole(6 + 2 * (i % 5), 192 * i, 192 * i + 180);
    }
    return roll.hole(60, 0, 1920).hole(61, 384, 1536);
}

inline void writeshortroll(const std::string& path) {
    Roll roll;
    shortroll(roll).write(path);
}

using ::interpretfile;
using ::Reference;

// The performance as this process interprets the roll (with the renderer's
// third argument and the spool), for the geometry of its picture and page.
inline performance watch(const std::string& roll, const char* extra = "s",
                         const spool& speedup = spool()) {
    watchperformance();
    interpretfile(roll, extra, speedup);
    finishperformance();
    holewatch = nullptr;
    stopwatch = nullptr;
    textwatch = nullptr;
    return watched;
}

// The s trace's actions: "t= 22.0  sc2A= 1" gives 22.0 and "sc2A= 1".
struct TraceLine {
    double t;
    std::string label;
};

inline std::vector<TraceLine> traceactions(const std::string& report) {
    std::vector<TraceLine> lines;
    std::istringstream all(report);
    for (std::string line; std::getline(all, line);) {
        size_t gap = line.find("  ");
        if (line.rfind("t= ", 0) == 0 && gap != std::string::npos) {
            lines.push_back({std::atof(line.c_str() + 3), line.substr(gap + 2)});
        }
    }
    return lines;
}

inline bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

} // namespace e2e

#endif
