// vennormidi: a look inside a Standard MIDI File through the model. Prints the
// model's text dump, the tempo map, one time converted either way, or
// rewrites the file through the reader and the writer.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <set>
#include <string>

#include "MidiFile.h"

namespace {

const char kUsage[] = "usage: vennormidi [--tempo-map | --seconds TICK | --tick SECONDS | "
                      "--rewrite OUT] FILE";

int refuse(const std::string& message) {
    std::cerr << "vennormidi: " << message << std::endl;
    return 1;
}

bool parseTick(const char* text, int& tick) {
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0 || value > 0x7fffffffL) {
        return false;
    }
    tick = static_cast<int>(value);
    return true;
}

bool parseSeconds(const char* text, double& seconds) {
    char* end = nullptr;
    seconds = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(seconds) && seconds >= 0.0;
}

bool exists(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (f != nullptr) {
        std::fclose(f);
    }
    return f != nullptr;
}

// Every tick at which an event lies: the entries of the tempo map.
std::set<int> eventTicks(MidiFile& score) {
    std::set<int> ticks;
    for (int t = 0; t < score.getTrackCount(); t++) {
        for (int i = 0; i < score.getNumEvents(t); i++) {
            ticks.insert(score.getEvent(t, i).time);
        }
    }
    return ticks;
}

void printSeconds(double seconds) {
    std::printf("%.6f\n", seconds);
}

} // namespace

int main(int argc, char** argv) {
    const std::string option = argc >= 2 && argv[1][0] == '-' ? argv[1] : "";
    const int wanted = option.empty() ? 2 : option == "--tempo-map" ? 3 : 4;
    if (argc != wanted || !(option.empty() || option == "--tempo-map" || option == "--seconds" ||
                            option == "--tick" || option == "--rewrite")) {
        return refuse(kUsage);
    }
    const char* path = argv[argc - 1];
    const char* value = argc == 4 ? argv[2] : nullptr;

    int tick = 0;
    double seconds = 0.0;
    if (option == "--seconds" && !parseTick(value, tick)) {
        return refuse(std::string("TICK must be a whole number from 0: ") + value);
    }
    if (option == "--tick" && !parseSeconds(value, seconds)) {
        return refuse(std::string("SECONDS must be a number from 0: ") + value);
    }
    if (option == "--rewrite" && exists(value)) {
        return refuse(std::string(value) + " exists; give a new file to write");
    }
    if (!exists(path)) {
        return refuse(std::string("cannot open ") + path + ": " + std::strerror(errno));
    }

    // The reader says why it refused a file on standard output.
    MidiFile score;
    if (score.read(path) == 0) {
        return refuse(std::string(path) + " is not a Standard MIDI File that can be read");
    }

    if (option.empty()) {
        std::cout << score;
    } else if (option == "--rewrite") {
        score.write(value);
    } else {
        const std::set<int> ticks = eventTicks(score);
        if (option == "--tempo-map") {
            for (int t : ticks) {
                std::printf("%d\t", t);
                printSeconds(score.getTimeInSeconds(t));
            }
        } else if (ticks.empty()) {
            return refuse(std::string(path) + " holds no events to time");
        } else if (option == "--seconds") {
            if (ticks.count(tick) == 0) {
                return refuse("no event lies at tick " + std::string(value));
            }
            printSeconds(score.getTimeInSeconds(tick));
        } else {
            const int found = score.getAbsoluteTickTime(seconds);
            if (found < 0) {
                return refuse(std::string(value) + " s lies outside the events (0 to " +
                              std::to_string(score.getTimeInSeconds(*ticks.rbegin())) + " s)");
            }
            std::printf("%d\n", found);
        }
    }
    return 0;
}
