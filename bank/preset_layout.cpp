#include "preset_layout.h"

#include <algorithm>
#include <cmath>

namespace {

int timecents(double seconds) {
    return static_cast<int>(std::lround(1200.0 * std::log2(seconds)));
}

} // namespace

int attenuationAmount(double decibels) {
    return static_cast<int>(std::lround(std::max(0.0, decibels) * 10.0 / 0.4));
}

int PresetLayout::findStop(const std::string& rank, int transpose) const {
    for (size_t i = 0; i < stops.size(); i++) {
        if (stops[i].rank == rank && stops[i].transpose == transpose) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool PresetLayout::build(const std::map<std::string, OrganRank>& ranks,
                         const std::vector<Registration>& table, std::string& error) {
    stops.clear();
    recordings.clear();
    recordingGain.clear();
    registrations = table;
    for (const Registration& reg : registrations) {
        if (reg.name.size() > 19) {
            error = "registration name longer than 19 characters: " + reg.name;
            return false;
        }
        for (const StopChoice& choice : reg.stops) {
            int index = findStop(choice.rank, choice.transpose);
            if (index < 0) {
                stops.push_back({choice.rank, choice.transpose, {}});
                index = static_cast<int>(stops.size()) - 1;
            }
            auto rank = ranks.find(choice.rank);
            if (rank == ranks.end()) {
                error = "the organ definition has no rank " + choice.rank;
                return false;
            }
            Stop& stop = stops[static_cast<size_t>(index)];
            for (int key = reg.lowKey; key <= reg.highKey; key++) {
                bool present = std::any_of(stop.keys.begin(), stop.keys.end(),
                                           [&](const StopKey& k) { return k.key == key; });
                if (present) {
                    continue;
                }
                // A stop pitched above the rank's top breaks back an octave, as mixtures
                // do; one below its bottom repeats the lowest octave.
                const OrganRank& r = rank->second;
                int rankKey = key + choice.transpose - r.soundingOffset();
                int lowest = r.pipes.front().key, highest = r.pipes.back().key;
                while (rankKey > highest) {
                    rankKey -= 12;
                }
                while (rankKey < lowest) {
                    rankKey += 12;
                }
                const OrganPipe* pipe = r.pipeForKey(rankKey);
                if (pipe == nullptr) {
                    error = "rank " + choice.rank + " has no pipe for key " + std::to_string(key);
                    return false;
                }
                OrganPipe voiced = *pipe;
                voiced.gain *= std::pow(10.0, rankTrimDb(choice.rank) / 20.0);
                stop.keys.push_back({key, voiced, rankKey + r.soundingOffset() - key});
                if (recordingGain.count(voiced.file) == 0) {
                    recordings.push_back(voiced.file);
                }
                recordingGain[voiced.file] = std::max(recordingGain[voiced.file], voiced.gain);
            }
        }
    }
    for (Stop& stop : stops) {
        std::sort(stop.keys.begin(), stop.keys.end(),
                  [](const StopKey& a, const StopKey& b) { return a.key < b.key; });
    }
    return true;
}

double PresetLayout::getRecordingGain(const std::string& file) const {
    auto it = recordingGain.find(file);
    return it == recordingGain.end() ? 1.0 : it->second;
}

void PresetLayout::emit(const std::map<std::string, RecordingSamples>& samples,
                        SoundFontWriter& font) const {
    const int firstInstrument = static_cast<int>(font.instruments.size());
    for (const Stop& stop : stops) {
        SfInstrument inst;
        inst.name = stopName(stop.rank, stop.transpose);
        SfZone global;
        // Loop until the voice has died away; the envelope's release, fitted to the fall of
        // each pipe's recording, ends the note.
        global.generators.push_back(SfGenerator::value(GenSampleModes, 1));
        inst.zones.push_back(global);
        for (const StopKey& k : stop.keys) {
            const RecordingSamples& s = samples.at(k.pipe.file);
            double dropDb = 20.0 * std::log10(getRecordingGain(k.pipe.file) / k.pipe.gain);
            // Spaced microphones: each channel is its own voice, panned hard to its side.
            const std::pair<int, int> channels[] = {{s.left, s.right < 0 ? 0 : -500},
                                                    {s.right, 500}};
            for (const auto& [sample, pan] : channels) {
                if (sample < 0) {
                    continue;
                }
                SfZone zone;
                zone.generators.push_back(SfGenerator::range(GenKeyRange, k.key, k.key));
                zone.generators.push_back(SfGenerator::value(GenPan, pan));
                // A pipe sounds once: striking its key again on the same manual fades the
                // tail it still rings with (FluidSynth's exclusive class: 96 dB in 0.9 s), so
                // that repeated keys do not fill the voices with tails under their own note.
                zone.generators.push_back(SfGenerator::value(GenExclusiveClass, k.key));
                zone.generators.push_back(
                    SfGenerator::value(GenReleaseVolEnv, timecents(s.release.seconds)));
                if (s.release.sweeps()) {
                    // The cutoff follows the pitch the key sounds at, so that a key playing
                    // a neighbour's recording, or an octave stop, loses the same partials.
                    const int low = static_cast<int>(std::lround(std::clamp(
                        s.release.cutoffCents + 100.0 * (k.key + k.coarseTune - s.rootKey),
                        kLowestCutoffCents, kOpenCutoffCents)));
                    zone.generators.push_back(SfGenerator::value(GenInitialFilterFc, low));
                    // Held, the modulation envelope stands at full and the filter wide open.
                    zone.generators.push_back(SfGenerator::value(
                        GenModEnvToFilterFc, static_cast<int>(kOpenCutoffCents) - low));
                    zone.generators.push_back(
                        SfGenerator::value(GenReleaseModEnv, timecents(s.release.sweepSeconds)));
                }
                if (k.coarseTune != 0) {
                    zone.generators.push_back(SfGenerator::value(GenCoarseTune, k.coarseTune));
                }
                int drop = attenuationAmount(dropDb);
                if (drop > 0) {
                    zone.generators.push_back(SfGenerator::value(GenInitialAttenuation, drop));
                }
                zone.target = sample;
                inst.zones.push_back(zone);
            }
        }
        font.instruments.push_back(inst);
    }
    for (const Registration& reg : registrations) {
        SfPreset preset;
        preset.name = reg.name;
        preset.bank = static_cast<uint16_t>(reg.bank);
        preset.program = static_cast<uint16_t>(reg.program);
        for (const StopChoice& choice : reg.stops) {
            SfZone zone;
            zone.generators.push_back(SfGenerator::range(GenKeyRange, reg.lowKey, reg.highKey));
            int drop = attenuationAmount(choice.attenuationDb);
            if (drop > 0) {
                zone.generators.push_back(SfGenerator::value(GenInitialAttenuation, drop));
            }
            zone.target = firstInstrument + findStop(choice.rank, choice.transpose);
            preset.zones.push_back(zone);
        }
        font.presets.push_back(preset);
    }
}
