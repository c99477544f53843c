// vennoroll-live: the player's run, with the organ score played in real time
// into another organ over JACK MIDI or the ALSA sequencer, through a map.
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "mapfile.h"
#include "mapping.h"
#include "midiport.h"
#include "perform.h"
#include "rollcore.h"
#include "savefile.h"
#include "shadewatch.h"

namespace {

struct options {
    std::vector<char*> positional;
    std::vector<const char*> spoolwords; // read once the banner is out
    std::string map = "stops";
    std::string port;
    std::string save;
    std::string showmap;
    midiapi api = midiapi::automatic;
    double wait = 2.0;
    bool list = false;
    bool bad = false;
};

void usage(const char* program) {
    std::cout << "Usage: " << program
              << " ROLL [optempo|s] [--map score|stops|FILE] [--port NAME] [--api jack|alsa]"
                 " [--wait SECONDS] [--save OUT.mid] [--speed-up] [--spool-diameter=MM]"
                 " [--paper-thickness=MM]; "
              << program << " --list [--api jack|alsa]; " << program << " --show-map score|stops"
              << std::endl;
}

options readoptions(int argc, char** argv) {
    options o;
    o.positional.push_back(argv[0]);
    for (int i = 1; i < argc && !o.bad; i++) {
        const std::string word = argv[i];
        const bool valued = word == "--map" || word == "--port" || word == "--save" ||
                            word == "--api" || word == "--wait" || word == "--show-map";
        if (word == "--list") {
            o.list = true;
        } else if (word == "--speed-up" || word.rfind("--spool-diameter=", 0) == 0 ||
                   word.rfind("--paper-thickness=", 0) == 0) {
            o.spoolwords.push_back(argv[i]);
        } else if (valued && i + 1 < argc) {
            const std::string value = argv[++i];
            char* end = nullptr;
            if (word == "--map") {
                o.map = value;
            } else if (word == "--port") {
                o.port = value;
            } else if (word == "--save") {
                o.save = value;
            } else if (word == "--show-map") {
                o.showmap = value;
            } else if (word == "--api") {
                o.bad = !apinamed(value, o.api);
            } else {
                o.wait = std::strtod(value.c_str(), &end);
                o.bad = *end != '\0' || !(o.wait >= 0.0 && o.wait <= 600.0);
            }
        } else if (word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9')) {
            o.bad = true;
        } else {
            o.positional.push_back(argv[i]);
        }
    }
    o.positional.push_back(nullptr);
    return o;
}

void refuse(const std::string& line) {
    std::cout << line << std::endl;
    std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    options o = readoptions(argc, argv);
    livemap map;
    if (!o.bad && !o.showmap.empty()) {
        if (!builtinmap(o.showmap, map)) {
            refuse("No built-in map \"" + o.showmap + "\" (score, stops)");
        }
        std::cout << writemapfile(map);
        return 0;
    }
    if (!o.bad && o.list) {
        for (const std::string& line : listports(o.api)) {
            std::cout << line << std::endl;
        }
        return 0;
    }
    printbanner();
    // The player's usage line knows nothing of the options.
    if (o.bad || o.positional.size() < 3 || o.positional.size() > 4) {
        usage(argv[0]);
        return 1;
    }
    checkarguments(static_cast<int>(o.positional.size()) - 1, o.positional.data());
    spool roll;
    for (const char* word : o.spoolwords) {
        spooloption(word, roll);
    }
    std::string error;
    if (!builtinmap(o.map, map) && !readmapfile(o.map, map, error)) {
        refuse(error);
    }

    watchshades();
    std::string op_string;
    preparescore(o.positional[1], op_string, roll);
    printspeedup();
    const std::vector<livemessage> stream = mapscore(outputfile, watchedshades(), map);

    if (!o.save.empty()) {
        if (!savestream(outputfile, stream, o.save, error)) {
            refuse(error);
        }
        std::cout << "Map " << map.name << ": " << stream.size() << " messages written to "
                  << o.save << std::endl;
        return 0;
    }

    midiport port;
    if (!port.open(o.api, o.port, error)) {
        port.close();
        refuse(error);
    }
    catchstops();
    if (o.port.empty() && o.wait > 0.0) {
        std::cout << "Playing into " << port.name() << " in " << o.wait
                  << " s: connect the organ's MIDI input to it" << std::endl;
        timespec pause{static_cast<time_t>(o.wait),
                       static_cast<long>((o.wait - std::floor(o.wait)) * 1e9)};
        nanosleep(&pause, nullptr);
    }
    std::cout << "Playing into " << port.name() << " (map " << map.name << ")" << std::endl;
    const performed how = stopsignal() != 0 ? performed::interrupted
                                            : performlive(port, stream, tempomap(outputfile));
    port.close();
    if (how == performed::lost) {
        refuse("Connection to " + port.name() + " lost");
    }
    if (how == performed::interrupted) {
        std::cout << "Stopped: every note and stop released" << std::endl;
        const int sig = stopsignal();
        std::signal(sig, SIG_DFL);
        std::raise(sig);
    }
    return 0;
}
