#pragma once

#include <fluidsynth.h>

#include <string>
#include <vector>

constexpr double kRate = 44100.0;

// FluidSynth set up as the player sets it up (gain 1.0, GS bank select, the bank loaded
// with presets reset, 256 voices unless asked for more), but with no audio driver: audio
// is pulled with fluid_synth_write_float, faster than real time, and a MIDI file player
// follows the rendered samples.
class OfflineSynth {
  public:
    explicit OfflineSynth(const std::string& font, int polyphony = 256);
    ~OfflineSynth();
    OfflineSynth(const OfflineSynth&) = delete;
    OfflineSynth& operator=(const OfflineSynth&) = delete;

    bool isLoaded() const { return fontId >= 0; }
    fluid_synth_t* get() const { return synth; }

    // Silences every voice, resets the channels and forgets the rendered audio.
    void reset();
    int activeVoices() const;
    void select(int channel, int bank, int program);
    void noteOn(int channel, int key, int velocity);
    void noteOff(int channel, int key);
    // Appends this much audio to left and right.
    void render(double seconds);
    size_t frames() const { return left.size(); }
    // (left + right) / 2
    std::vector<float> mono() const;

    std::vector<float> left;
    std::vector<float> right;

  private:
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    int fontId = -1;
    size_t rendered = 0; // frames written since the synth was made
};

// Path of the bank the build made, and of the recordings it was made from.
const char* bankPath();
const char* sampleSetPath();
