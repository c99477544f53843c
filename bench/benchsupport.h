// What the benchmarks share: the rolls they run on, quiet standard streams,
// timed child processes and the figures kept for the closing summary.
#ifndef VENNOR_BENCH_BENCHSUPPORT_H
#define VENNOR_BENCH_BENCHSUPPORT_H

#include <map>
#include <string>
#include <vector>

// One roll the benchmarks run on.
struct benchroll {
    std::string name; // "demo", "10k", "100k", "1M"
    std::string path; // file on disk
    long bytes = 0;   // file size
    long events = 0;  // events of its track, as read
    bool generated = false;
};

// The demo roll of the build tree (a generated roll of its size when it has
// not been built, with a note on standard error), then generated rolls of
// 10 thousand, 100 thousand and 1 million hole events. Made on first use in a
// private folder that is removed at exit.
const std::vector<benchroll>& benchrolls();

// The private folder of this benchmark run.
const std::string& workdir();

// Sends std::cout and std::cerr nowhere while it lives: the player reports on
// them, and a terminal would time the terminal.
class quietstreams {
  public:
    quietstreams();
    ~quietstreams();
    quietstreams(const quietstreams&) = delete;
    quietstreams& operator=(const quietstreams&) = delete;

  private:
    std::streambuf* out;
    std::streambuf* err;
};

// A child process run to its end, its output sent to /dev/null.
struct processrun {
    bool started = false;
    int status = -1;         // exit status, or -1 when it did not exit normally
    double seconds = 0.0;    // wall time from spawn to reaped
    double cpuseconds = 0.0; // processor time of the child, user and system
    long maxrsskb = 0;       // peak resident memory of the child
};
processrun runprocess(const std::vector<std::string>& argv,
                      const std::vector<std::string>& extraenv = {});

// The same in two halves, for callers that watch the child meanwhile:
// spawnprocess returns its id (0 when it could not start) and notes the start
// time in run; reapprocess waits for its end and fills in the rest.
int spawnprocess(const std::vector<std::string>& argv, const std::vector<std::string>& extraenv,
                 processrun& run);
void reapprocess(int pid, processrun& run);

// The full path of a program found on PATH, or "" when there is none.
std::string findprogram(const std::string& name);

// A HOME folder whose .asoundrc makes ALSA's default device discard
// everything (pcmfile empty) or copy it raw into pcmfile; returns its path.
std::string alsahome(const std::string& tag, const std::string& pcmfile);

// Seconds since an arbitrary start, from the monotonic clock.
double nowseconds();

// Figures of the finished benchmarks, by benchmark name, for the summary.
struct benchfigure {
    double seconds = 0.0;    // real time per iteration
    double cpuseconds = 0.0; // processor time of this process per iteration
    std::map<std::string, double> counters;
};
std::map<std::string, benchfigure>& benchfigures();

#endif
