// peak_rss OUTFILE PROGRAM [ARGS...]: runs PROGRAM as its child and writes
// the child's peak resident memory (kB) to OUTFILE. Linux charges a process
// that execs with the peak of the memory it execs from; a benchmark process
// that has held large scores would lend its own peak to every child it
// spawns, so the player is started from this small process instead. A
// SIGTERM is passed on to the child.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace {

volatile pid_t child = 0;

void passon(int signal) {
    if (child > 0) {
        kill(child, signal);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: peak_rss OUTFILE PROGRAM [ARGS...]\n");
        return 2;
    }
    struct sigaction action = {};
    action.sa_handler = passon;
    sigaction(SIGTERM, &action, nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[2], argv + 2);
        _exit(127);
    }
    if (pid < 0) {
        return 2;
    }
    child = pid;
    int status = 0;
    struct rusage usage = {};
    while (wait4(pid, &status, 0, &usage) < 0) {
    }
    if (FILE* out = std::fopen(argv[1], "w")) {
        std::fprintf(out, "%ld\n", usage.ru_maxrss);
        std::fclose(out);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
