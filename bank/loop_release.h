#pragma once

#include "wave_file.h"

#include <cstdint>
#include <string>
#include <vector>

// A recording made ready for a SoundFont voice that loops while the key is held and then
// plays on into the recorded release (sample mode 3):
//   [recorded attack][short loop of whole periods][recorded release from the release marker]
// The recorded loops are long and start late, and a voice finishes its loop before it plays
// on, so a fresh short loop right after the attack keeps the release prompt.
struct PreparedSample {
    std::vector<std::vector<float>> channels; // same layout as the recording
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0; // one past the last frame of the loop
    uint32_t sampleRate = 0;
    // Pitch data: the frame plays at MIDI pitch rootKey + correctionCents / 100.
    int rootKey = 60;
    int correctionCents = 0;
    // The loop's own pitch against the recording's pitch data, in cents (rounding only).
    double loopCents = 0.0;
    // Where the release splice reads the recording, and the marker it aims at.
    uint32_t releaseSource = 0;
    uint32_t releaseMarker = 0;
};

struct LoopSettings {
    double minLoopSeconds = 0.09;
    double maxLoopSeconds = 0.15;
    // Loop lengths whose rounding to whole frames detunes more than this are passed over.
    double maxLoopCents = 0.1;
    // Sustain counts as reached within this many dB of the level before the release marker;
    // a level still wandering after maxAttackSeconds is wind and room, not attack.
    double attackToleranceDb = 1.5;
    double maxAttackSeconds = 0.5;
    // The release is cut where it falls this far below the sustain, then faded out.
    double tailFloorDb = 50.0;
    double tailFadeSeconds = 0.05;
};

// Frequency in Hz of a MIDI pitch (fractional) at A4 = 440 Hz equal temperament.
double midiPitchToHz(double pitch);

// False with a one-line reason when the recording lacks pitch data or a release marker,
// or is too short to hold an attack, a loop and a release.
bool prepareSample(const WaveFile& wave, const LoopSettings& settings, PreparedSample& out,
                   std::string& error);
