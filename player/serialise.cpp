// The output score into memory, the playing time and the player's buffer.
#include "serialise.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "spool.h"
#include "state.h"

void serialisescore(std::string& op_string, size_t& op_size) {
    outputfile.sortTracks();
    outputfile.write(os_buffer);
    op_string = os_buffer.str();
    op_size = op_string.size();
    while (op_size % 8 != 0) {
        op_size++;
    }
}

long long playingseconds(double lastendtime) {
    double seconds = spoolplayed(spoolrate(), lastendtime * iptempo / optempo);
    // Not a number or before the start (a roll whose ticks wrapped): nothing
    // to play. Beyond a 64-bit count: held at the largest count, far past any
    // real roll.
    if (!(seconds >= 0.0)) {
        return 0;
    }
    if (seconds >= 9.0e18) {
        return 9000000000000000000LL;
    }
    return static_cast<long long>(seconds);
}

void printplayingtime(double lastendtime) {
    long long seconds = playingseconds(lastendtime);
    std::cout << "Playing time: " << seconds / 60 << " minutes " << seconds % 60 << " seconds"
              << std::endl;
}

void fillopbuffer(const std::string& op_string, size_t op_size) {
    op_buffer = static_cast<unsigned char*>(std::malloc(op_size));
    if (op_buffer == nullptr) {
        std::fprintf(stderr, "op_buffer allocation failed\n");
        std::exit(1);
    }
    std::memcpy(op_buffer, op_string.data(), op_string.size());
    // The filler only rounds the length up; zero carries no meaning.
    std::memset(op_buffer + op_string.size(), 0, op_size - op_string.size());
}
