// Rolls, quiet streams, child processes and figures for the benchmarks.
#include "benchsupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "MidiFile.h"
#include "rollgen.h"

extern char** environ;

namespace {

class nullbuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c == EOF ? 0 : c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

nullbuffer discard;

void removeworkdir() {
    const std::string& dir = workdir();
    std::string command = "rm -rf '" + dir + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    }
}

long filesize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

benchroll describe(const std::string& name, const std::string& path, bool generated) {
    benchroll roll;
    roll.name = name;
    roll.path = path;
    roll.bytes = filesize(path);
    roll.generated = generated;
    MidiFile score;
    if (score.read(path.c_str()) == 1 && score.getTrackCount() > 0) {
        roll.events = score.getNumEvents(0);
    }
    return roll;
}

} // namespace

const std::string& workdir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/vennor-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        return std::string(made);
    }();
    static const bool cleanup = std::atexit(removeworkdir) == 0;
    (void)cleanup;
    return dir;
}

const std::vector<benchroll>& benchrolls() {
    static const std::vector<benchroll> rolls = [] {
        std::vector<benchroll> made;
        const std::string demo = VENNOR_DEMO_ROLL;
        if (!demo.empty() && filesize(demo) > 0) {
            made.push_back(describe("demo", demo, false));
        } else {
            // About the demo roll's size: 1,240 hole events.
            const std::string path = workdir() + "/demo-standin.mid";
            std::fprintf(stderr,
                         "The demo roll (%s) has not been built: a generated roll of 1,240 "
                         "hole events stands in for it.\n",
                         demo.empty() ? "no examples folder" : demo.c_str());
            if (!writeroll(path, 1240)) {
                std::exit(1);
            }
            made.push_back(describe("demo", path, true));
        }
        const struct {
            const char* name;
            int events;
        } sizes[] = {{"10k", 10000}, {"100k", 100000}, {"1M", 1000000}};
        for (const auto& size : sizes) {
            const std::string path = workdir() + "/roll-" + size.name + ".mid";
            if (!writeroll(path, size.events)) {
                std::fprintf(stderr, "could not write %s\n", path.c_str());
                std::exit(1);
            }
            made.push_back(describe(size.name, path, true));
        }
        return made;
    }();
    return rolls;
}

quietstreams::quietstreams() : out(std::cout.rdbuf(&discard)), err(std::cerr.rdbuf(&discard)) {}

quietstreams::~quietstreams() {
    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);
}

double nowseconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int spawnprocess(const std::vector<std::string>& argv, const std::vector<std::string>& extraenv,
                 processrun& run) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    // extraenv first: the first setting of a name is the one a program sees.
    std::vector<std::string> envstrings(extraenv);
    for (char** e = environ; *e != nullptr; e++) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool overridden = false;
        for (const std::string& x : extraenv) {
            overridden = overridden || x.compare(0, name.size(), name) == 0;
        }
        if (!overridden) {
            envstrings.push_back(entry);
        }
    }
    std::vector<char*> env;
    for (const std::string& e : envstrings) {
        env.push_back(const_cast<char*>(e.c_str()));
    }
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    run = processrun();
    // Until reaped, seconds holds the start time.
    run.seconds = nowseconds();
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return 0;
    }
    run.started = true;
    return pid;
}

void reapprocess(int pid, processrun& run) {
    int status = 0;
    struct rusage usage;
    std::memset(&usage, 0, sizeof usage);
    wait4(pid, &status, 0, &usage);
    run.seconds = nowseconds() - run.seconds;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.maxrsskb = usage.ru_maxrss;
    run.cpuseconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

processrun runprocess(const std::vector<std::string>& argv,
                      const std::vector<std::string>& extraenv) {
    processrun run;
    const int pid = spawnprocess(argv, extraenv, run);
    if (pid != 0) {
        reapprocess(pid, run);
    }
    return run;
}

std::string findprogram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        const std::string candidate = dirs.substr(begin, end - begin) + "/" + name;
        if (end > begin && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        begin = end + 1;
    }
    return "";
}

std::string alsahome(const std::string& tag, const std::string& pcmfile) {
    const std::string home = workdir() + "/home-" + tag;
    mkdir(home.c_str(), 0700);
    FILE* rc = std::fopen((home + "/.asoundrc").c_str(), "w");
    if (rc == nullptr) {
        return "";
    }
    if (pcmfile.empty()) {
        std::fprintf(rc, "pcm.!default { type null }\n");
    } else {
        std::fprintf(rc,
                     "pcm.!default { type file; slave.pcm \"null\"; file \"%s\"; format "
                     "\"raw\" }\n",
                     pcmfile.c_str());
    }
    std::fclose(rc);
    return home;
}

std::map<std::string, benchfigure>& benchfigures() {
    static std::map<std::string, benchfigure> figures;
    return figures;
}
