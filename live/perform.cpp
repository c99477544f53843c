#include "perform.h"

#include <pthread.h>
#include <sched.h>
#include <time.h>

#include <cerrno>
#include <csignal>

#include "progress.h"

namespace {

volatile std::sig_atomic_t caught = 0;

void onstop(int sig) {
    caught = sig;
}

double now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Sleeps until the monotonic time `until`, or until a signal arrives.
void sleepuntil(double until) {
    timespec t;
    t.tv_sec = static_cast<time_t>(until);
    t.tv_nsec = static_cast<long>((until - static_cast<double>(t.tv_sec)) * 1e9);
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
}

// How often a wait looks at the port, the signals and the progress line.
const double glance = 0.1;
const double portglance = 0.5;

} // namespace

void catchstops() {
    struct sigaction action {};
    action.sa_handler = onstop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a signal ends the sleep at once.
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &action, nullptr);
    }
}

int stopsignal() {
    return caught;
}

performed performlive(midiport& port, const std::vector<livemessage>& stream,
                      const tempomap& times) {
    // Waking on time matters more than anything else the machine does: where
    // the system allows it (root, or a user with a real-time limit), the
    // pacing runs at a modest real-time priority; elsewhere as it is.
    sched_param priority{};
    priority.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    const double start = now();
    const double total = stream.empty() ? 0.0 : times.seconds(stream.back().tick);
    soundingledger ledger;
    performed how = performed::whole;
    double lastlook = start;
    for (size_t i = 0; i < stream.size() && how == performed::whole;) {
        const double due = start + times.seconds(stream[i].tick);
        double t = now();
        while (t < due && caught == 0) {
            drawprogress(t - start, total);
            if (t - lastlook >= portglance) {
                lastlook = t;
                if (!port.connected()) {
                    break;
                }
            }
            sleepuntil(t + glance < due ? t + glance : due);
            t = now();
        }
        if (caught != 0) {
            how = performed::interrupted;
        } else if (t < due || !port.send(stream[i])) {
            how = performed::lost;
        } else {
            ledger.note(stream[i]);
            i++;
        }
    }
    if (how != performed::whole) {
        const long long at = stream.empty() ? 0 : stream.back().tick;
        for (const livemessage& m : ledger.closing(at)) {
            port.send(m);
        }
    }
    drawprogress(now() - start, total);
    endprogress();
    // The system passes on what was sent at its next period: give it time
    // before the port closes.
    sleepuntil(now() + 0.25);
    return how;
}
