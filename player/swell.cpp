// The swell shades.
#include "swell.h"

#include <cmath>

#include "state.h"

void swellclose(double t) {
    sclosetime = t;
    sclose = true;
    if (shades > 0) {
        shades--;
    }
    swellvel = swell[shades];
    if (sopen) {
        stogether = std::fabs(sclosetime - sopentime) < sctol;
        sopen = false;
    }
}

void swellopen(double t) {
    sopentime = t;
    sopen = true;
    if (shades < 3) {
        shades++;
    }
    swellvel = swell[shades];
    if (sclose) {
        stogether = std::fabs(sclosetime - sopentime) < sctol;
        sclose = false;
    }
}
