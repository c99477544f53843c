#include "offline_synth.h"

#include "../support/paths.h"

#include <cmath>

OfflineSynth::OfflineSynth(const std::string& font, int polyphony) {
    // Channels without a preset (the GS drum channel) warn on every reset.
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.gain", 1.0);
    fluid_settings_setstr(settings, "synth.midi-bank-select", "gs");
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setint(settings, "synth.polyphony", polyphony);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    synth = new_fluid_synth(settings);
    if (fluid_is_soundfont(font.c_str())) {
        fontId = fluid_synth_sfload(synth, font.c_str(), 1);
    }
}

OfflineSynth::~OfflineSynth() {
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}

void OfflineSynth::reset() {
    // A system reset alone leaves the sounding voices playing; stopping them takes effect
    // at the next rendered block.
    fluid_synth_all_sounds_off(synth, -1);
    // FluidSynth renders 64-frame blocks and starts notes at a block's start: what is
    // rendered next starts on one, so that a render does not depend on those before it.
    float scratch[2][128];
    const int pad = 64 + static_cast<int>((64 - rendered % 64) % 64);
    fluid_synth_write_float(synth, pad, scratch[0], 0, 1, scratch[1], 0, 1);
    rendered += static_cast<size_t>(pad);
    fluid_synth_system_reset(synth);
    left.clear();
    right.clear();
}

int OfflineSynth::activeVoices() const {
    return fluid_synth_get_active_voice_count(synth);
}

void OfflineSynth::select(int channel, int bank, int program) {
    fluid_synth_bank_select(synth, channel, static_cast<unsigned>(bank));
    fluid_synth_program_change(synth, channel, program);
}

void OfflineSynth::noteOn(int channel, int key, int velocity) {
    fluid_synth_noteon(synth, channel, key, velocity);
}

void OfflineSynth::noteOff(int channel, int key) {
    fluid_synth_noteoff(synth, channel, key);
}

void OfflineSynth::render(double seconds) {
    size_t start = left.size();
    size_t count = static_cast<size_t>(std::lround(seconds * kRate));
    left.resize(start + count);
    right.resize(start + count);
    fluid_synth_write_float(synth, static_cast<int>(count), left.data() + start, 0, 1,
                            right.data() + start, 0, 1);
    rendered += count;
}

std::vector<float> OfflineSynth::mono() const {
    std::vector<float> m(left.size());
    for (size_t i = 0; i < m.size(); i++) {
        m[i] = 0.5f * (left[i] + right[i]);
    }
    return m;
}

const char* bankPath() {
    return testpath("VENNOR_BANK_FILE");
}
const char* sampleSetPath() {
    return testpath("VENNOR_SAMPLE_SET");
}
