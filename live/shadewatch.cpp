#include "shadewatch.h"

#include <cmath>

#include "emission.h"
#include "holes.h"
#include "state.h"

namespace {

// Seconds at the roll's tempo: ticks only once the tempo is known.
std::vector<std::pair<double, int>> steps;

// The shades move when a swell hole's closing is read.
void onhole(int hole, double /*start*/, double end) {
    if ((hole == 123 || hole == 124) && std::isfinite(end)) {
        steps.emplace_back(end, shades);
    }
}

} // namespace

void watchshades() {
    steps.assign(1, {0.0, shades});
    holewatch = onhole;
}

std::vector<shadesat> watchedshades() {
    std::vector<shadesat> out;
    for (const auto& [seconds, position] : steps) {
        int tick = 0;
        if (secondstotick(seconds, tick)) {
            out.push_back({tick, position});
        }
    }
    return out;
}
