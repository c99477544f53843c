// The one-line progress display on standard error.
#include "progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>

#include "spool.h"
#include "state.h"

namespace {

bool drawn = false;
double lasttotal = 0.0;
std::string lastline;
std::chrono::steady_clock::time_point lastdraw;

// Columns of the terminal on standard error, one short of the edge so that
// the line never wraps; 80 when it cannot be asked.
int linewidth() {
    struct winsize size {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) {
        return size.ws_col - 1;
    }
    return 79;
}

void putline(const std::string& line) {
    // Carriage return and erase to the end: a shorter line leaves no rest.
    std::fprintf(stderr, "\r%s\033[K", line.c_str());
    std::fflush(stderr);
    lastline = line;
    drawn = true;
}

} // namespace

bool progressshown() {
    static const bool shown = isatty(STDERR_FILENO) == 1;
    return shown;
}

double tickseconds(long long ticks) {
    if (!(optempo > 0.0) || tpq <= 0) {
        return 0.0;
    }
    return spoolplayed(spoolrate(), static_cast<double>(ticks) * 60.0 / (optempo * tpq));
}

double scoreseconds() {
    long long last = 0;
    for (int track = 0; track < outputfile.getTrackCount(); track++) {
        int count = outputfile.getNumEvents(track);
        // Sorted before serialisation, so the last event is the latest.
        if (count > 0 && outputfile.getEvent(track, count - 1).time > last) {
            last = outputfile.getEvent(track, count - 1).time;
        }
    }
    return tickseconds(last);
}

std::string clocktext(double seconds) {
    long long whole = 0;
    if (seconds >= 0.0 && seconds < 1.0e15) {
        whole = static_cast<long long>(seconds);
    }
    char text[48];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    }
    return text;
}

std::string progressline(double elapsed, double total, int width) {
    if (!(total > 0.0)) {
        total = 0.0;
    }
    if (!(elapsed > 0.0)) {
        elapsed = 0.0;
    }
    if (elapsed > total) {
        elapsed = total;
    }
    std::string line = clocktext(elapsed) + " / " + clocktext(total);
    int room = width - static_cast<int>(line.size()) - 3; // " [" and "]"
    if (room < 1) {
        return line;
    }
    int filled = total > 0.0 ? static_cast<int>(std::floor(elapsed / total * room)) : 0;
    line += " [";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(room - filled), '-');
    line += "]";
    return line;
}

void drawprogress(double elapsed, double total) {
    if (!progressshown()) {
        return;
    }
    lasttotal = total;
    // Cheap enough to call for every rendered block: the clock decides first.
    std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    if (drawn && now - lastdraw < std::chrono::milliseconds(100)) {
        return;
    }
    std::string line = progressline(elapsed, total, linewidth());
    if (drawn && line == lastline) {
        return;
    }
    lastdraw = now;
    putline(line);
}

void endprogress() {
    if (!drawn) {
        return;
    }
    putline(progressline(lasttotal, lasttotal, linewidth()));
    std::fputc('\n', stderr);
    std::fflush(stderr);
    drawn = false;
    lastline.clear();
}
