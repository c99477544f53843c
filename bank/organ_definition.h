#pragma once

#include <map>
#include <string>
#include <vector>

// One pipe of a rank: the key it answers (MIDI note, counted as on an 8' stop) and the
// recording that sounds it.
struct OrganPipe {
    int key = 0;
    std::string file;  // path inside the package, '/' separated
    double gain = 1.0; // linear, the stop's level times the pipe's
};

// A rank recorded pipe by pipe, as one stop of the organ definition lays it out.
struct OrganRank {
    std::string folder;     // the recordings' folder, e.g. "Montre8"
    std::string name;       // the stop's name, UTF-8
    int harmonicNumber = 8; // 8 = 8', 4 = 16', 16 = 4', 32 = 2'
    std::vector<OrganPipe> pipes;

    // Semitones from the key to the pitch the rank sounds at (0 for 8', +24 for 2').
    int soundingOffset() const;
    const OrganPipe* pipeForKey(int key) const;
};

// A GrandOrgue organ definition (.organ): an INI text in Latin-1.
class OrganDefinition {
  public:
    // False with a one-line reason when no section could be read.
    bool parse(const std::string& latin1Text, std::string& error);

    // Value of a key in a section (names compared as written), or nullptr.
    const std::string* getValue(const std::string& section, const std::string& key) const;
    int getInt(const std::string& section, const std::string& key, int fallback) const;

    // The ranks that some stop maps pipe by pipe onto recordings (not onto other stops),
    // one per recordings folder, keyed by folder. The stop with most pipes wins a folder.
    std::map<std::string, OrganRank> findRanks() const;

  private:
    std::map<std::string, std::map<std::string, std::string>> sections;
};

std::string latin1ToUtf8(const std::string& text);
