#include "mapfile.h"

#include <fstream>
#include <sstream>

// Header-only and without exceptions: the packaged shared library is built to
// throw, and nothing here throws.
#define TOML_HEADER_ONLY 1
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

namespace {

const char* const modenames[] = {"programs", "stops", "both", "none"};

std::string keytext(std::string_view key) {
    for (char c : key) {
        bool bare = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '-';
        if (!bare) {
            return "\"" + std::string(key) + "\"";
        }
    }
    return std::string(key);
}

std::string range(int lo, int hi) {
    return "must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
}

// One file being read: the first fault found ends the reading.
class reading {
  public:
    reading(const std::string& p, std::string& e) : path(p), error(e) {}

    bool fail(const toml::source_region& at, const std::string& key, const std::string& what) {
        error = path + ":" + std::to_string(at.begin.line) + ": " + key + ": " + what;
        return false;
    }

    // Every key of t is one of `known`.
    bool onlykeys(const toml::table& t, const std::string& prefix,
                  std::initializer_list<std::string_view> known) {
        for (auto&& [key, value] : t) {
            bool found = false;
            for (std::string_view k : known) {
                found = found || key.str() == k;
            }
            if (!found) {
                return fail(key.source(), prefix + keytext(key.str()), "unknown key");
            }
        }
        return true;
    }

    const toml::table* table(const toml::node& n, const std::string& key) {
        const toml::table* t = n.as_table();
        if (t == nullptr) {
            fail(n.source(), key, "must be a table");
        }
        return t;
    }

    // A whole number within lo to hi, or, when `word` is given, that word (-> wordvalue).
    bool number(const toml::node& n, const std::string& key, int lo, int hi, int& out,
                const char* word = nullptr, int wordvalue = 0) {
        if (const toml::value<int64_t>* v = n.as_integer()) {
            if (v->get() >= lo && v->get() <= hi) {
                out = static_cast<int>(v->get());
                return true;
            }
        } else if (const toml::value<std::string>* s = n.as_string();
                   s != nullptr && word != nullptr && s->get() == word) {
            out = wordvalue;
            return true;
        }
        return fail(n.source(), key,
                    range(lo, hi) + (word ? std::string(" or \"") + word + "\"" : std::string()));
    }

    bool channels(const toml::node& n, livemap& map) {
        const toml::table* t = table(n, "channels");
        if (t == nullptr || !onlykeys(*t, "channels.", {"pedal", "swell", "great"})) {
            return false;
        }
        for (int d = 0; d < divisioncount; d++) {
            const toml::node* c = t->get(divisionname(d));
            if (c != nullptr &&
                !number(*c, std::string("channels.") + divisionname(d), 1, 16, map.channel[d])) {
                return false;
            }
        }
        return true;
    }

    bool notes(const toml::node& n, livemap& map) {
        const toml::table* t = table(n, "notes");
        if (t == nullptr || !onlykeys(*t, "notes.", {"velocity"})) {
            return false;
        }
        const toml::node* v = t->get("velocity");
        return v == nullptr || number(*v, "notes.velocity", 1, 127, map.velocity, "score", 0);
    }

    bool registration(const toml::node& n, livemap& map) {
        const toml::table* t = table(n, "registration");
        if (t == nullptr || !onlykeys(*t, "registration.", {"mode"})) {
            return false;
        }
        const toml::node* m = t->get("mode");
        if (m == nullptr) {
            return true;
        }
        for (int i = 0; i < 4; i++) {
            if (m->as_string() != nullptr && m->as_string()->get() == modenames[i]) {
                map.registration = static_cast<registrationmode>(i);
                return true;
            }
        }
        return fail(m->source(), "registration.mode",
                    "must be \"programs\", \"stops\", \"both\" or \"none\"");
    }

    bool shades(const toml::node& n, livemap& map) {
        const toml::table* t = table(n, "shades");
        if (t == nullptr || !onlykeys(*t, "shades.", {"controller", "channel", "values"})) {
            return false;
        }
        const toml::node* c = t->get("controller");
        if (c != nullptr &&
            !number(*c, "shades.controller", 0, 127, map.shadescontroller, "none", -1)) {
            return false;
        }
        c = t->get("channel");
        if (c != nullptr && !number(*c, "shades.channel", 1, 16, map.shadeschannel, "swell", 0)) {
            return false;
        }
        const toml::node* v = t->get("values");
        if (v == nullptr) {
            return true;
        }
        const toml::array* a = v->as_array();
        if (a == nullptr || a->size() != 4) {
            return fail(v->source(), "shades.values",
                        "must be four values, shades closed to open, each 0 to 127");
        }
        for (int i = 0; i < 4; i++) {
            if (!number((*a)[static_cast<size_t>(i)], "shades.values[" + std::to_string(i) + "]", 0,
                        127, map.shadevalues[i])) {
                return false;
            }
        }
        return true;
    }

    bool stop(const toml::node& n, const std::string& key, stopmessage& s) {
        if (const toml::value<std::string>* word = n.as_string(); word && word->get() == "none") {
            s.type = stopmessage::none;
            return true;
        }
        const toml::table* t = n.as_table();
        if (t == nullptr) {
            return fail(n.source(), key, "must be \"none\" or a table with note or controller");
        }
        if (!onlykeys(*t, key + ".", {"note", "controller", "channel", "velocity", "on", "off"})) {
            return false;
        }
        const toml::node* note = t->get("note");
        const toml::node* controller = t->get("controller");
        if ((note == nullptr) == (controller == nullptr)) {
            return fail(n.source(), key, "needs either note or controller");
        }
        s.type = note ? stopmessage::note : stopmessage::controller;
        if (note ? t->get("on") || t->get("off") : t->get("velocity") != nullptr) {
            return fail(n.source(), key,
                        note ? "a note takes velocity, not on or off"
                             : "a controller takes on and off, not velocity");
        }
        const toml::node* channel = t->get("channel");
        const toml::node* on = t->get(note ? "velocity" : "on");
        const toml::node* off = t->get("off");
        s.on = 127;
        s.off = 0;
        return number(note ? *note : *controller, key + (note ? ".note" : ".controller"), 0, 127,
                      s.number) &&
               (channel == nullptr || number(*channel, key + ".channel", 1, 16, s.channel)) &&
               (on == nullptr ||
                number(*on, key + (note ? ".velocity" : ".on"), note ? 1 : 0, 127, s.on)) &&
               (off == nullptr || number(*off, key + ".off", 0, 127, s.off));
    }

    bool stops(const toml::node& n, livemap& map) {
        const toml::table* t = table(n, "stops");
        if (t == nullptr || !onlykeys(*t, "stops.", {"pedal", "swell", "great"})) {
            return false;
        }
        for (int d = 0; d < divisioncount; d++) {
            const std::string prefix = std::string("stops.") + divisionname(d);
            const toml::node* list = t->get(divisionname(d));
            const toml::table* named = list ? table(*list, prefix) : nullptr;
            if (list != nullptr && named == nullptr) {
                return false;
            }
            for (auto it = named ? named->begin() : toml::table::const_iterator();
                 named && it != named->end(); ++it) {
                const std::string key = prefix + "." + keytext(it->first.str());
                const std::vector<const OrganStop*>& known = divisionstops(d);
                size_t i = 0;
                while (i < known.size() && it->first.str() != known[i]->name) {
                    i++;
                }
                if (i == known.size()) {
                    return fail(it->first.source(), key,
                                std::string("not a stop of the ") + divisionname(d));
                }
                if (!stop(it->second, key, map.stops[d][i])) {
                    return false;
                }
            }
        }
        return true;
    }

    bool whole(const toml::table& root, livemap& map) {
        if (!onlykeys(root, "", {"base", "channels", "notes", "registration", "shades", "stops"})) {
            return false;
        }
        std::string base = "stops";
        if (const toml::node* b = root.get("base")) {
            const toml::value<std::string>* s = b->as_string();
            if (s == nullptr || (s->get() != "score" && s->get() != "stops")) {
                return fail(b->source(), "base", "must be \"score\" or \"stops\"");
            }
            base = s->get();
        }
        builtinmap(base, map);
        map.name = path;
        using part = bool (reading::*)(const toml::node&, livemap&);
        const std::pair<const char*, part> parts[] = {{"channels", &reading::channels},
                                                      {"notes", &reading::notes},
                                                      {"registration", &reading::registration},
                                                      {"shades", &reading::shades},
                                                      {"stops", &reading::stops}};
        for (const auto& [key, read] : parts) {
            const toml::node* n = root.get(key);
            if (n != nullptr && !(this->*read)(*n, map)) {
                return false;
            }
        }
        return true;
    }

  private:
    const std::string& path;
    std::string& error;
};

} // namespace

bool parsemapfile(const std::string& text, const std::string& path, livemap& map,
                  std::string& error) {
    toml::parse_result parsed = toml::parse(text, path);
    reading r(path, error);
    if (!parsed) {
        return r.fail(parsed.error().source(), "(file)", std::string(parsed.error().description()));
    }
    return r.whole(parsed.table(), map);
}

bool readmapfile(const std::string& path, livemap& map, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        error = path + ": cannot be read";
        return false;
    }
    return parsemapfile(text.str(), path, map, error);
}

std::string writemapfile(const livemap& map) {
    std::ostringstream out;
    out << "# vennoroll-live map \"" << map.name << "\", every key written out.\n"
        << "base = \"" << (map.name == "score" ? "score" : "stops") << "\"\n\n[channels]\n";
    for (int d = 0; d < divisioncount; d++) {
        out << divisionname(d) << " = " << map.channel[d] << "\n";
    }
    out << "\n[notes]\nvelocity = ";
    if (map.velocity > 0) {
        out << map.velocity;
    } else {
        out << "\"score\"";
    }
    out << "\n\n[registration]\nmode = \"" << modenames[static_cast<int>(map.registration)]
        << "\"\n\n[shades]\ncontroller = ";
    if (map.shadescontroller >= 0) {
        out << map.shadescontroller;
    } else {
        out << "\"none\"";
    }
    out << "\nchannel = ";
    if (map.shadeschannel > 0) {
        out << map.shadeschannel;
    } else {
        out << "\"swell\"";
    }
    out << "\nvalues = [" << map.shadevalues[0] << ", " << map.shadevalues[1] << ", "
        << map.shadevalues[2] << ", " << map.shadevalues[3] << "]\n";
    for (int d = 0; d < divisioncount; d++) {
        out << "\n[stops." << divisionname(d) << "]\n";
        for (size_t i = 0; i < divisionstops(d).size(); i++) {
            const stopmessage& s = map.stops[d][i];
            out << "\"" << divisionstops(d)[i]->name << "\" = ";
            if (s.type == stopmessage::none) {
                out << "\"none\"\n";
            } else if (s.type == stopmessage::note) {
                out << "{ note = " << s.number << ", channel = " << s.channel
                    << ", velocity = " << s.on << " }\n";
            } else {
                out << "{ controller = " << s.number << ", channel = " << s.channel
                    << ", on = " << s.on << ", off = " << s.off << " }\n";
            }
        }
    }
    return out.str();
}
