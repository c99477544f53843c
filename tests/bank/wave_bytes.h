#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds RIFF/WAVE files in memory for the tests: 16-bit PCM frames from float channels,
// with optional 'smpl' pitch and loops and 'cue ' markers.
struct WaveBytes {
    uint32_t rate = 44100;
    std::vector<std::vector<float>> channels;
    bool sampler = false;
    uint32_t unityNote = 60;
    uint32_t pitchFraction = 0;                       // of a semitone, in units of 2^-32
    std::vector<std::pair<uint32_t, uint32_t>> loops; // start, inclusive end
    std::vector<uint32_t> cues;
    bool samplerBeforeData = true;

    std::vector<uint8_t> build() const;
};

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes);
void putChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body);
