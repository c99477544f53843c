#pragma once

#include <cstdint>
#include <string>
#include <vector>

// SoundFont 2 generator numbers used by the bank.
enum SfGeneratorType : uint16_t {
    GenInitialFilterFc = 8,
    GenModEnvToFilterFc = 11,
    GenPan = 17,
    GenReleaseModEnv = 30,
    GenReleaseVolEnv = 38,
    GenInstrument = 41,
    GenKeyRange = 43,
    GenVelRange = 44,
    GenInitialAttenuation = 48,
    GenCoarseTune = 51,
    GenFineTune = 52,
    GenSampleId = 53,
    GenSampleModes = 54,
    GenExclusiveClass = 57,
    GenOverridingRootKey = 58,
};

enum SfSampleType : uint16_t { SfMonoSample = 1, SfRightSample = 2, SfLeftSample = 4 };

struct SfGenerator {
    uint16_t type;
    uint16_t amount; // signed values and ranges stored as their raw 16 bits

    static SfGenerator value(uint16_t type, int amount) {
        return {type, static_cast<uint16_t>(static_cast<int16_t>(amount))};
    }
    static SfGenerator range(uint16_t type, int low, int high) {
        return {type, static_cast<uint16_t>((low & 0xFF) | (high & 0xFF) << 8)};
    }
};

struct SfSample {
    std::string name;
    std::vector<int16_t> data;
    uint32_t loopStart = 0; // frames from the sample's first frame
    uint32_t loopEnd = 0;   // one past the loop's last frame
    uint32_t sampleRate = 44100;
    uint8_t originalPitch = 60;
    int8_t pitchCorrection = 0; // cents
    uint16_t type = SfMonoSample;
    int link = -1; // index of the other channel's sample
};

// A zone links to a sample (instrument zone) or an instrument (preset zone) through
// `target`; a zone without one is the global zone and must come first.
struct SfZone {
    std::vector<SfGenerator> generators;
    int target = -1;
};

struct SfInstrument {
    std::string name;
    std::vector<SfZone> zones;
};

struct SfPreset {
    std::string name;
    uint16_t program = 0;
    uint16_t bank = 0;
    std::vector<SfZone> zones;
};

struct SfInfo {
    std::string name;
    std::string creationDate;
    std::string engineers;
    std::string product;
    std::string copyright;
    std::string comment;
    std::string software;
};

// Lays the bank out as a RIFF 'sfbk' file (SoundFont 2.01).
class SoundFontWriter {
  public:
    SfInfo info;
    std::vector<SfSample> samples;
    std::vector<SfInstrument> instruments;
    std::vector<SfPreset> presets;

    std::vector<uint8_t> serialize() const;
    // False with a one-line reason when the file cannot be written.
    bool write(const std::string& path, std::string& error) const;
};
