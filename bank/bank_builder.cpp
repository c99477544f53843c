#include "bank_builder.h"

#include "loop_release.h"
#include "organ_definition.h"
#include "preset_layout.h"
#include "registration.h"
#include "soundfont_writer.h"
#include "wave_file.h"
#include "wavpack_decoder.h"
#include "zip_archive.h"

#include <algorithm>
#include <cmath>
#include <map>

const char* const kSampleSetCopyright =
    "Recordings: Copyright 2006 Milan Digital Audio LLC, Copyright 2009-2015 GrandOrgue "
    "contributors; recordings by Lars Palo. Licence: GPL-2+ or CC BY-SA 2.5 (Swedish "
    "jurisdiction), at your choice; this bank is under the same terms.";

const char* const kBankComment =
    "Pipe organ for vennoroll, built from the GrandOrgue demo sample set (GrandOrgue demo "
    "V1, Debian package grandorgue-demo): Montre 8', Bourdon 8', Flute harmonique 8', "
    "Gamba 8', Hautbois 8', Trompette 8' and Octavin 2', recorded in stereo by Lars Palo. "
    "Changes from the recordings: each keeps its attack and sustain up to a new loop of a "
    "second or more, chosen where the held note's envelope is steadiest and cross-faded; the "
    "recorded releases are left out: each note ends with a volume-envelope release fitted "
    "to the fall of its recording after the release marker; "
    "levels follow the organ definition's voicing. Bank 0 holds the player's "
    "registrations (program 0 pedal, 10-63 swell, 70-123 great), bank 1 each rank alone. "
    "Copyright 2006 Milan Digital Audio LLC, 2009-2015 GrandOrgue contributors. Licensed "
    "under the GNU General Public License version 2 or later (GPL-2+), or under the "
    "Creative Commons Attribution-ShareAlike 2.5 licence (Sweden), at your choice.";

bool readPackageOrgan(ZipArchive& zip, OrganDefinition& organ, std::string& error) {
    for (const std::string& name : zip.getEntryNames()) {
        if (name.size() > 6 && name.compare(name.size() - 6, 6, ".organ") == 0) {
            std::vector<uint8_t> bytes;
            if (!zip.readEntry(name, bytes)) {
                error = zip.getError();
                return false;
            }
            return organ.parse(std::string(bytes.begin(), bytes.end()), error);
        }
    }
    error = "no .organ definition in the package";
    return false;
}

bool readPackageWave(ZipArchive& zip, const std::string& file, WaveFile& wave, std::string& error) {
    std::vector<uint8_t> packed, bytes;
    if (!zip.readEntry(file, packed)) {
        error = zip.getError();
        return false;
    }
    if (!decodeWavpack(packed, bytes, error) || !wave.parse(bytes, error)) {
        error = file + ": " + error;
        return false;
    }
    return true;
}

namespace {

bool readRecording(ZipArchive& zip, const std::string& file, PreparedSample& out,
                   std::string& error) {
    WaveFile parsed;
    if (!readPackageWave(zip, file, parsed, error)) {
        return false;
    }
    if (!prepareSample(parsed, LoopSettings(), out, error)) {
        error = file + ": " + error;
        return false;
    }
    return true;
}

std::vector<int16_t> toPcm16(const std::vector<float>& x, double gain) {
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); i++) {
        long v = std::lround(x[i] * gain * 32768.0);
        out[i] = static_cast<int16_t>(std::clamp(v, -32768L, 32767L));
    }
    return out;
}

std::string sampleName(const std::string& file, const char* side) {
    std::string base = file;
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".wav") == 0) {
        base.resize(base.size() - 4);
    }
    for (char& c : base) {
        if (c == '/') {
            c = ' ';
        }
    }
    return base.substr(0, 17) + side;
}

} // namespace

bool buildBank(const std::string& packagePath, const std::string& outputPath, BankSummary& summary,
               std::string& error) {
    ZipArchive zip(packagePath);
    if (!zip.isOpen()) {
        error = zip.getError();
        return false;
    }
    OrganDefinition organ;
    if (!readPackageOrgan(zip, organ, error)) {
        return false;
    }
    PresetLayout layout;
    if (!layout.build(organ.findRanks(), organRegistrations(), error)) {
        return false;
    }

    std::map<std::string, PreparedSample> prepared;
    double loudest = 0.0;
    for (const std::string& file : layout.getRecordings()) {
        PreparedSample& p = prepared[file];
        if (!readRecording(zip, file, p, error)) {
            return false;
        }
        double peak = 0.0;
        for (const auto& ch : p.channels) {
            for (float v : ch) {
                peak = std::max(peak, static_cast<double>(std::fabs(v)));
            }
        }
        loudest = std::max(loudest, peak * layout.getRecordingGain(file));
    }
    // One scale for the whole organ keeps the voicing; the loudest pipe peaks at -1 dBFS.
    const double organScale = loudest > 0.0 ? std::pow(10.0, -1.0 / 20.0) / loudest : 1.0;

    SoundFontWriter font;
    font.info.name = "vennorbank-0";
    font.info.engineers = "vennoroll bank builder; recordings by Lars Palo";
    font.info.product = "vennoroll";
    font.info.copyright = kSampleSetCopyright;
    font.info.comment = kBankComment;
    font.info.software = "vennorbank";
    std::map<std::string, RecordingSamples> samples;
    for (const std::string& file : layout.getRecordings()) {
        const PreparedSample& p = prepared[file];
        double gain = organScale * layout.getRecordingGain(file);
        bool stereo = p.channels.size() == 2;
        RecordingSamples& refs = samples[file];
        refs.release = p.release;
        refs.rootKey = p.rootKey;
        for (size_t c = 0; c < std::min<size_t>(p.channels.size(), 2); c++) {
            SfSample s;
            s.name = sampleName(file, !stereo ? "" : c == 0 ? " L" : " R");
            s.data = toPcm16(p.channels[c], gain);
            s.loopStart = p.loopStart;
            s.loopEnd = p.loopEnd;
            s.sampleRate = p.sampleRate;
            s.originalPitch = static_cast<uint8_t>(std::clamp(p.rootKey, 0, 127));
            s.pitchCorrection = static_cast<int8_t>(p.correctionCents);
            int index = static_cast<int>(font.samples.size());
            if (!stereo) {
                s.type = SfMonoSample;
                refs.left = index;
            } else if (c == 0) {
                s.type = SfLeftSample;
                s.link = index + 1;
                refs.left = index;
            } else {
                s.type = SfRightSample;
                s.link = index - 1;
                refs.right = index;
            }
            font.samples.push_back(std::move(s));
        }
    }
    layout.emit(samples, font);
    if (!font.write(outputPath, error)) {
        return false;
    }
    summary.recordings = prepared.size();
    summary.samples = font.samples.size();
    summary.instruments = font.instruments.size();
    summary.presets = font.presets.size();
    for (const SfSample& s : font.samples) {
        summary.bytes += 2 * s.data.size();
    }
    return true;
}
