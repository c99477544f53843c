// A roll that uses every kind of hole, for the mapping and for playing live.
#ifndef VENNOR_TESTS_EVERYHOLE_H
#define VENNOR_TESTS_EVERYHOLE_H

#include "../support/roll.h"

// At 60 beats a minute and 256 ticks a quarter: pedal, swell and great notes;
// stop control 2 acting plain at tick 512 (programs 20 and 80); the shades
// closing a step at 800; stop control 5 acting together with both swell holes
// at 1024 (programs 52 and 112); hole 122's late great note; hole 121, which
// does nothing. Ten closings of required holes: an Estey e-roll.
inline Roll& everyhole(Roll& r) {
    r.tempo(1000000).on(0, 6).on(0, 7).off(256, 6).off(256, 7).hole(2, 256, 320);
    r.hole(30, 384, 448).hole(9, 512, 576).hole(123, 768, 800).hole(5, 896, 928);
    r.on(1024, 124).on(1024, 123).off(1088, 124).off(1088, 123);
    return r.hole(122, 1152, 1216).hole(11, 1280, 1344).hole(121, 1408, 1472);
}

#endif
