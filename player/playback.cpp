// Every FluidSynth call of the player.
#include "playback.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "progress.h"
#include "state.h"

void setupsynth(fluidhandles& fluid) {
    fluid.settings = new_fluid_settings();
    if (fluid.settings != nullptr) {
        fluid_settings_setnum(fluid.settings, "synth.gain", 1.0);
        fluid_settings_setstr(fluid.settings, "synth.midi-bank-select", "gs");
        fluid.synth = new_fluid_synth(fluid.settings);
    }
    if (fluid.synth != nullptr) {
        fluid.player = new_fluid_player(fluid.synth);
    }
    // Nothing can be played without these three; only memory exhaustion
    // brings it about.
    if (fluid.player == nullptr) {
        std::cerr << "FluidSynth could not be set up" << std::endl;
        std::exit(1);
    }
    // A missing driver is reported when playing would start, after the report.
    fluid.adriver = new_fluid_audio_driver(fluid.settings, fluid.synth);
    // Standard output stays the report alone; the missing organ is told on
    // standard error and the roll is played without instruments.
    if (!fluid_is_soundfont(font)) {
        std::cerr << "SoundFont " << font << " is missing or not a SoundFont; playing without it"
                  << std::endl;
    } else if (fluid_synth_sfload(fluid.synth, font, 1) == FLUID_FAILED) {
        std::cerr << "SoundFont " << font << " could not be loaded; playing without it"
                  << std::endl;
    }
}

void playscore(fluidhandles& fluid, size_t op_size) {
    // The player advances only while a driver renders; without one
    // fluid_player_join would wait for ever.
    if (fluid.adriver == nullptr) {
        std::cout << "Audio output could not be opened" << std::endl;
        std::exit(1);
    }
    fluid_player_add_mem(fluid.player, op_buffer, op_size);
    fluid_player_play(fluid.player);
    // On a terminal, the progress line on standard error until playing ends.
    while (progressshown() && fluid_player_get_status(fluid.player) == FLUID_PLAYER_PLAYING) {
        drawprogress(tickseconds(fluid_player_get_current_tick(fluid.player)), scoreseconds());
        usleep(100000);
    }
    endprogress();
    fluid_player_join(fluid.player);
}

void teardownsynth(fluidhandles& fluid) {
    delete_fluid_audio_driver(fluid.adriver);
    delete_fluid_player(fluid.player);
    delete_fluid_synth(fluid.synth);
    delete_fluid_settings(fluid.settings);
    fluid = fluidhandles();
}
