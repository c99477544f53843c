#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One loop of a 'smpl' chunk; end is the last sample inside the loop (inclusive).
struct WaveLoop {
    uint32_t start = 0;
    uint32_t end = 0;
};

// The parts of a RIFF/WAVE file a sampler needs: PCM frames per channel as floats in
// [-1, 1), the 'smpl' pitch and loops, and the 'cue ' sample offsets.
class WaveFile {
  public:
    // False with a one-line reason when the bytes are not integer PCM WAVE.
    bool parse(const std::vector<uint8_t>& bytes, std::string& error);

    int getChannelCount() const { return static_cast<int>(channels.size()); }
    uint32_t getSampleRate() const { return sampleRate; }
    size_t getFrameCount() const { return channels.empty() ? 0 : channels[0].size(); }
    const std::vector<float>& getChannel(int c) const { return channels[static_cast<size_t>(c)]; }

    bool hasSampler() const { return samplerPresent; }
    uint32_t getUnityNote() const { return unityNote; }
    // Part of a semitone above the unity note, 0 to 1.
    double getPitchFraction() const { return pitchFraction; }
    const std::vector<WaveLoop>& getLoops() const { return loops; }
    const std::vector<uint32_t>& getCueOffsets() const { return cueOffsets; }

  private:
    uint32_t sampleRate = 0;
    std::vector<std::vector<float>> channels;
    bool samplerPresent = false;
    uint32_t unityNote = 60;
    double pitchFraction = 0.0;
    std::vector<WaveLoop> loops;
    std::vector<uint32_t> cueOffsets;
};
