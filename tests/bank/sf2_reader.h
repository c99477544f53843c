#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A SoundFont 2 file read back independently of the bank's writer: INFO texts, sample
// headers with their PCM, preset headers.
struct Sf2SampleHeader {
    std::string name;
    uint32_t start = 0, end = 0, loopStart = 0, loopEnd = 0, rate = 0;
    int originalPitch = 0;
    int correction = 0;
    int link = 0;
    int type = 0;
};

struct Sf2PresetHeader {
    std::string name;
    int program = 0;
    int bank = 0;
};

class Sf2File {
  public:
    bool read(const std::string& path);
    bool parse(const std::vector<uint8_t>& bytes);

    std::map<std::string, std::string> info; // by chunk id, e.g. "ICOP"
    int versionMajor = 0, versionMinor = 0;
    std::vector<int16_t> pcm;
    std::vector<Sf2SampleHeader> samples; // without the terminal record
    std::vector<Sf2PresetHeader> presets; // without the terminal record
    size_t instrumentCount = 0;           // without the terminal record
    // Generator lists (operator, amount) and each bag's first generator, terminals included.
    std::vector<std::pair<uint16_t, uint16_t>> presetGenerators, instrumentGenerators;
    std::vector<uint16_t> presetBags, instrumentBags;
    std::map<std::string, size_t> listSizes; // byte size of each pdta sub-chunk

    // PCM of one sample as floats in [-1, 1).
    std::vector<float> samplePcm(const Sf2SampleHeader& s) const;
};
