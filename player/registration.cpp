// Stop registration: the pending stop control acts together (at once when the
// swell holes paired up within sctol) or plain (on the second closing after
// its hole), toggling between its two program pairs of that kind.
#include "registration.h"

#include <iostream>

#include "emission.h"
#include "state.h"

void (*stopwatch)(double t, int n, bool together, int count, int swellprogram) = nullptr;

namespace {

int* const plain[6] = {&sc1, &sc2, &sc3, &sc4, &sc5, &sc6};
int* const together[6] = {&sc1A, &sc2A, &sc3A, &sc4A, &sc5A, &sc6A};
bool* const pending[6] = {&sc1on, &sc2on, &sc3on, &sc4on, &sc5on, &sc6on};

void trace(double t, int n, const char* kind, int count) {
    std::cout << "t= " << t << "  sc" << n << kind << "= " << count << std::endl;
}

// The program pair of an action (the great's program is the swell's + 60).
void act(double t, int n, bool withshades, int count, int swellprogram) {
    patchchange(t, swellprogram, swellprogram + 60);
    if (stopwatch != nullptr) {
        stopwatch(t, n, withshades, count, swellprogram);
    }
}

void togetheraction(int i, double t) {
    int n = i + 1;
    int& counter = *together[i];
    counter++;
    for (int j = 0; j < 6; j++) {
        *plain[j] = 0;
        if (j != i) {
            *together[j] = 0;
        }
    }
    if (sc) {
        trace(t, n, "A", counter);
    }
    if (counter == 1 || counter == 2) {
        act(t, n, true, counter, 10 * n + 1 + counter);
    }
    if (counter == 2) {
        counter = 0;
    }
    *pending[i] = false;
    sopen = false;
    sclose = false;
}

void plainaction(int i, double t) {
    int n = i + 1;
    int& counter = *plain[i];
    counter++;
    for (int j = 0; j < 6; j++) {
        *together[j] = 0;
        if (j != i) {
            *plain[j] = 0;
        }
    }
    if (sc) {
        trace(t, n, "", counter);
    }
    if (counter == 1 || counter == 2) {
        act(t, n, false, counter, 10 * n - 1 + counter);
    }
    if (counter == 2) {
        counter = 0;
    }
    *pending[i] = false;
    loopcount = 0;
}

} // namespace

// When the closing that acts is a swell or great note, its note-on lies on the
// tick of the program change. The score's sort ranks program changes before
// note-ons within a tick, so that note already sounds with the new programs.

bool stoppending() {
    return sc1on || sc2on || sc3on || sc4on || sc5on || sc6on;
}

void registerstops(double t) {
    for (int i = 0; i < 6; i++) {
        if (*pending[i] && stogether) {
            togetheraction(i, t);
        } else if (*pending[i] && loopcount > 2) {
            plainaction(i, t);
        }
    }
}
