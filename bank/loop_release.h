#pragma once

#include "release_fit.h"
#include "wave_file.h"

#include <cstdint>
#include <string>
#include <vector>

// A recording made ready for a SoundFont voice that loops until the voice has died away
// (sample mode 1): [recorded attack and sustain][loop of a second or more], with a few frames
// of the loop's start after its end for the interpolator. The loop is long so that the
// pipe's wind noise and drift do not repeat fast enough to be heard as a flutter; the
// volume envelope's release, fitted to the recording's own fall after its release marker,
// ends the note.
struct PreparedSample {
    std::vector<std::vector<float>> channels; // same layout as the recording
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0; // one past the last frame of the loop
    uint32_t sampleRate = 0;
    // Pitch data: the frame plays at MIDI pitch rootKey + correctionCents / 100.
    int rootKey = 60;
    int correctionCents = 0;
    // Strongest line of the held note's envelope between 4 and 30 Hz, in dB relative to
    // its mean, at either end of the held stretch: what the loop was chosen by.
    double flutterDb = 0.0;
    // The voice's release that follows the recording's own fall after its marker.
    ReleaseFit release;
};

struct LoopSettings {
    double minLoopSeconds = 1.0;
    double maxLoopSeconds = 2.0;
    // The loop's end is faded into what precedes its start over this long.
    double crossFadeSeconds = 0.2;
    // Sustain counts as reached within this many dB of the level before the release marker;
    // a level still wandering after maxAttackSeconds is wind and room, not attack.
    double attackToleranceDb = 1.5;
    double maxAttackSeconds = 0.5;
    // The held note whose envelope the loop is judged by.
    double heldFromSeconds = 1.0;
    double heldToSeconds = 3.8;
    // Loops within this many dB of the steadiest are as good: the shortest sample wins.
    double flutterSlackDb = 1.0;
    // Bounds of the fitted release. Lingering voices make FluidSynth steal others in full
    // passages: with each re-struck key ending its own tail, 5 s leaves what is stolen
    // 32 dB under the sound in the loudest passage tried (6 s: 29 dB).
    double shortestReleaseSeconds = 0.5;
    double longestReleaseSeconds = 5.0;
};

// Frequency in Hz of a MIDI pitch (fractional) at A4 = 440 Hz equal temperament.
double midiPitchToHz(double pitch);

// False with a one-line reason when the recording lacks pitch data or a release marker,
// or is too short to hold an attack and a loop.
bool prepareSample(const WaveFile& wave, const LoopSettings& settings, PreparedSample& out,
                   std::string& error);
