// Every FluidSynth call of the player.
#ifndef VENNOR_PLAYER_PLAYBACK_H
#define VENNOR_PLAYER_PLAYBACK_H

#include <cstddef>

#include <fluidsynth.h>

struct fluidhandles {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    fluid_audio_driver_t* adriver = nullptr;
};

// Settings, synthesiser, player and audio driver, then the SoundFont at font
// when FluidSynth recognises it (one line on standard error when it does not).
void setupsynth(fluidhandles& fluid);

// Hands op_buffer (op_size bytes) to the player, plays and waits for the end.
// Without an audio driver the player would never finish: prints "Audio output
// could not be opened" and exits with status 1 instead.
void playscore(fluidhandles& fluid, size_t op_size);

// Deletes the driver, the player, the synthesiser and the settings.
void teardownsynth(fluidhandles& fluid);

#endif
