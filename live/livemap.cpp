#include "livemap.h"

const char* divisionname(int division) {
    static const char* const names[divisioncount] = {"pedal", "swell", "great"};
    return division >= 0 && division < divisioncount ? names[division] : "";
}

const std::vector<const OrganStop*>& divisionstops(int division) {
    static const std::vector<const OrganStop*> lists[divisioncount] = {
        stopsOfPrograms(0, 0), stopsOfPrograms(10, 63), stopsOfPrograms(70, 123)};
    static const std::vector<const OrganStop*> nostops;
    return division >= 0 && division < divisioncount ? lists[division] : nostops;
}

bool operator==(const stopmessage& a, const stopmessage& b) {
    return a.type == b.type && a.channel == b.channel && a.number == b.number && a.on == b.on &&
           a.off == b.off;
}

bool builtinmap(const std::string& name, livemap& map) {
    map = livemap();
    map.name = name;
    for (int d = 0; d < divisioncount; d++) {
        map.stops[d].resize(divisionstops(d).size());
    }
    if (name == "score") {
        return true;
    }
    if (name != "stops") {
        return false;
    }
    // Room for 32 stops a division, far more than any registration here uses.
    for (int d = 0; d < divisioncount; d++) {
        for (size_t i = 0; i < map.stops[d].size(); i++) {
            stopmessage& m = map.stops[d][i];
            m.type = stopmessage::note;
            m.number = 32 * d + static_cast<int>(i);
        }
    }
    map.velocity = 100;
    map.registration = registrationmode::stops;
    map.shadescontroller = 11;
    return true;
}
