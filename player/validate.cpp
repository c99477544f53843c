// Whether the roll was an Estey e-roll at all.
#include "validate.h"

#include <cstdlib>
#include <iostream>

#include "state.h"

bool rollisvalid() {
    return outofrangecount <= 2 && requirednotecount >= 10;
}

void validateroll() {
    if (!rollisvalid()) {
        std::cout << "Invalid estey e-roll" << std::endl;
        std::exit(1);
    }
}
