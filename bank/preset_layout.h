#pragma once

#include "organ_definition.h"
#include "registration.h"
#include "release_fit.h"
#include "soundfont_writer.h"

#include <map>
#include <string>
#include <vector>

// The SoundFont samples made from one recording: its left and right channels (right is -1
// for a mono recording).
struct RecordingSamples {
    int left = -1;
    int right = -1;
    // Release of every zone that plays them, and the key the recording sounds at.
    ReleaseFit release;
    int rootKey = 60;
};

// One key of a stop: the pipe that sounds it and the transposition from key to sound.
struct StopKey {
    int key = 0;
    OrganPipe pipe;
    int coarseTune = 0;
};

// Lays the registrations out as SoundFont instruments (one per stop: rank and pitch, one
// zone per key and channel) and presets (one per registration, one zone per stop).
class PresetLayout {
  public:
    // False with a one-line reason when a registration names a rank the organ lacks or a
    // key the rank cannot sound.
    bool build(const std::map<std::string, OrganRank>& ranks,
               const std::vector<Registration>& registrations, std::string& error);

    // Every recording some stop uses, in a stable order.
    const std::vector<std::string>& getRecordings() const { return recordings; }
    // The loudest level (linear, organ definition) at which any key plays a recording:
    // recordings are stored at that level and keys below it are attenuated.
    double getRecordingGain(const std::string& file) const;

    // Adds the instruments and presets; `samples` maps each recording to its samples.
    void emit(const std::map<std::string, RecordingSamples>& samples, SoundFontWriter& font) const;

  private:
    struct Stop {
        std::string rank;
        int transpose = 0;
        std::vector<StopKey> keys;
    };
    int findStop(const std::string& rank, int transpose) const;

    std::vector<Stop> stops;
    std::vector<Registration> registrations;
    std::vector<std::string> recordings;
    std::map<std::string, double> recordingGain;
};

// The attenuation generator value for a level drop in dB. FluidSynth, like the EMU chips,
// applies the generator at 0.4 of its nominal centibels, so the value is scaled to match.
int attenuationAmount(double decibels);
