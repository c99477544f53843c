#include "organ_definition.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) {
        return "";
    }
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string pipeKey(int index, const char* suffix) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Pipe%03d%s", index, suffix);
    return buf;
}

} // namespace

std::string latin1ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int OrganRank::soundingOffset() const {
    return static_cast<int>(std::lround(12.0 * std::log2(harmonicNumber / 8.0)));
}

const OrganPipe* OrganRank::pipeForKey(int key) const {
    for (const OrganPipe& p : pipes) {
        if (p.key == key) {
            return &p;
        }
    }
    return nullptr;
}

bool OrganDefinition::parse(const std::string& latin1Text, std::string& error) {
    sections.clear();
    std::map<std::string, std::string>* current = nullptr;
    size_t pos = 0;
    while (pos < latin1Text.size()) {
        size_t end = latin1Text.find('\n', pos);
        if (end == std::string::npos) {
            end = latin1Text.size();
        }
        std::string line = trim(latin1Text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            current = &sections[line.substr(1, line.size() - 2)];
            continue;
        }
        size_t eq = line.find('=');
        if (current != nullptr && eq != std::string::npos) {
            (*current)[trim(line.substr(0, eq))] = latin1ToUtf8(trim(line.substr(eq + 1)));
        }
    }
    if (sections.empty()) {
        error = "no [section] in the organ definition";
        return false;
    }
    return true;
}

const std::string* OrganDefinition::getValue(const std::string& section,
                                             const std::string& key) const {
    auto s = sections.find(section);
    if (s == sections.end()) {
        return nullptr;
    }
    auto k = s->second.find(key);
    return k == s->second.end() ? nullptr : &k->second;
}

int OrganDefinition::getInt(const std::string& section, const std::string& key,
                            int fallback) const {
    const std::string* v = getValue(section, key);
    return v == nullptr ? fallback : std::atoi(v->c_str());
}

std::map<std::string, OrganRank> OrganDefinition::findRanks() const {
    std::map<std::string, OrganRank> ranks;
    for (const auto& [name, values] : sections) {
        if (name.rfind("Stop", 0) != 0) {
            continue;
        }
        int count = getInt(name, "NumberOfLogicalPipes", 0);
        int firstPipe = getInt(name, "FirstAccessiblePipeLogicalPipeNumber", 1);
        int firstKey = getInt(name, "FirstAccessiblePipeLogicalKeyNumber", 1);
        double stopGain = getInt(name, "AmplitudeLevel", 100) / 100.0;
        OrganRank rank;
        const std::string* title = getValue(name, "Name");
        rank.name = title == nullptr ? name : *title;
        rank.harmonicNumber = getInt(name, "HarmonicNumber", 8);
        bool usable = count > 0;
        for (int i = 1; i <= count && usable; i++) {
            const std::string* file = getValue(name, pipeKey(i, ""));
            if (file == nullptr || file->rfind("REF:", 0) == 0) {
                usable = false;
                break;
            }
            std::string path = *file;
            for (char& c : path) {
                if (c == '\\') {
                    c = '/';
                }
            }
            std::string folder = path.substr(0, path.find('/'));
            if (rank.folder.empty()) {
                rank.folder = folder;
            } else if (folder != rank.folder) {
                usable = false;
            }
            OrganPipe pipe;
            // Logical key 1 of a manual is MIDI note 24 (C1).
            pipe.key = 24 + (firstKey - 1) + (i - firstPipe);
            pipe.file = path;
            pipe.gain = stopGain * getInt(name, pipeKey(i, "AmplitudeLevel"), 100) / 100.0;
            rank.pipes.push_back(pipe);
        }
        if (!usable || rank.folder.empty()) {
            continue;
        }
        auto existing = ranks.find(rank.folder);
        if (existing == ranks.end() || existing->second.pipes.size() < rank.pipes.size()) {
            ranks[rank.folder] = rank;
        }
    }
    return ranks;
}
