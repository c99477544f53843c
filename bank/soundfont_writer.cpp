#include "soundfont_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Frames of silence after each sample, as the format asks, so that interpolation past
// the end reads zeros.
constexpr size_t kSampleGuard = 46;

class Bytes {
  public:
    std::vector<uint8_t> data;

    void put8(uint8_t v) { data.push_back(v); }
    void put16(uint16_t v) {
        put8(static_cast<uint8_t>(v & 0xFF));
        put8(static_cast<uint8_t>(v >> 8));
    }
    void put32(uint32_t v) {
        put16(static_cast<uint16_t>(v & 0xFFFF));
        put16(static_cast<uint16_t>(v >> 16));
    }
    void putId(const char* id) { data.insert(data.end(), id, id + 4); }
    // Fixed-width name field, zero padded (names longer than the field are cut).
    void putName(const std::string& s, size_t width) {
        for (size_t i = 0; i < width; i++) {
            put8(i < s.size() && i + 1 < width ? static_cast<uint8_t>(s[i]) : 0);
        }
    }
    void putChunk(const char* id, const Bytes& body) {
        putId(id);
        put32(static_cast<uint32_t>(body.data.size()));
        data.insert(data.end(), body.data.begin(), body.data.end());
        if (body.data.size() % 2 == 1) {
            put8(0);
        }
    }
    void putList(const char* type, const Bytes& body) {
        Bytes list;
        list.putId(type);
        list.data.insert(list.data.end(), body.data.begin(), body.data.end());
        putChunk("LIST", list);
    }
};

// INFO strings are zero terminated and of even length.
Bytes infoString(const std::string& s, size_t limit) {
    Bytes b;
    std::string t = s.substr(0, limit - 2);
    b.data.assign(t.begin(), t.end());
    b.put8(0);
    if (b.data.size() % 2 == 1) {
        b.put8(0);
    }
    return b;
}

// Puts key and velocity ranges first, as the format requires, and the link generator last.
std::vector<SfGenerator> ordered(const SfZone& zone, uint16_t linkType) {
    std::vector<SfGenerator> g;
    for (uint16_t first : {GenKeyRange, GenVelRange}) {
        for (const SfGenerator& x : zone.generators) {
            if (x.type == first) {
                g.push_back(x);
            }
        }
    }
    for (const SfGenerator& x : zone.generators) {
        if (x.type != GenKeyRange && x.type != GenVelRange && x.type != linkType) {
            g.push_back(x);
        }
    }
    if (zone.target >= 0) {
        g.push_back({linkType, static_cast<uint16_t>(zone.target)});
    }
    return g;
}

// Writes the bag, modulator and generator lists of a set of zone owners.
template <typename Owner>
void putZones(const std::vector<Owner>& owners, uint16_t linkType, Bytes& bags, Bytes& mods,
              Bytes& gens, std::vector<uint16_t>& firstBag) {
    uint16_t bagIndex = 0;
    uint16_t genIndex = 0;
    for (const Owner& owner : owners) {
        firstBag.push_back(bagIndex);
        for (const SfZone& zone : owner.zones) {
            bags.put16(genIndex);
            bags.put16(0);
            for (const SfGenerator& g : ordered(zone, linkType)) {
                gens.put16(g.type);
                gens.put16(g.amount);
                genIndex++;
            }
            bagIndex++;
        }
    }
    firstBag.push_back(bagIndex);
    bags.put16(genIndex);
    bags.put16(0);
    for (int i = 0; i < 10; i++) {
        mods.put8(0);
    }
    gens.put32(0);
}

} // namespace

std::vector<uint8_t> SoundFontWriter::serialize() const {
    Bytes infoBody;
    Bytes version;
    version.put16(2);
    version.put16(1);
    infoBody.putChunk("ifil", version);
    infoBody.putChunk("isng", infoString("EMU8000", 256));
    infoBody.putChunk("INAM", infoString(info.name, 256));
    const std::pair<const char*, const std::string*> optional[] = {
        {"ICRD", &info.creationDate}, {"IENG", &info.engineers}, {"IPRD", &info.product},
        {"ICOP", &info.copyright},    {"ICMT", &info.comment},   {"ISFT", &info.software}};
    for (const auto& [id, text] : optional) {
        if (!text->empty()) {
            infoBody.putChunk(id, infoString(*text, std::strcmp(id, "ICMT") == 0 ? 65536 : 256));
        }
    }

    Bytes pcm;
    std::vector<uint32_t> starts;
    uint32_t frame = 0;
    for (const SfSample& s : samples) {
        starts.push_back(frame);
        for (int16_t v : s.data) {
            pcm.put16(static_cast<uint16_t>(v));
        }
        for (size_t i = 0; i < kSampleGuard; i++) {
            pcm.put16(0);
        }
        frame += static_cast<uint32_t>(s.data.size() + kSampleGuard);
    }
    Bytes sdtaBody;
    sdtaBody.putChunk("smpl", pcm);

    Bytes phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr;
    std::vector<uint16_t> presetBags, instrumentBags;
    putZones(presets, GenInstrument, pbag, pmod, pgen, presetBags);
    putZones(instruments, GenSampleId, ibag, imod, igen, instrumentBags);
    for (size_t i = 0; i <= presets.size(); i++) {
        bool end = i == presets.size();
        phdr.putName(end ? "EOP" : presets[i].name, 20);
        phdr.put16(end ? 0 : presets[i].program);
        phdr.put16(end ? 0 : presets[i].bank);
        phdr.put16(presetBags[i]);
        phdr.put32(0);
        phdr.put32(0);
        phdr.put32(0);
    }
    for (size_t i = 0; i <= instruments.size(); i++) {
        inst.putName(i == instruments.size() ? "EOI" : instruments[i].name, 20);
        inst.put16(instrumentBags[i]);
    }
    for (size_t i = 0; i < samples.size(); i++) {
        const SfSample& s = samples[i];
        shdr.putName(s.name, 20);
        shdr.put32(starts[i]);
        shdr.put32(starts[i] + static_cast<uint32_t>(s.data.size()));
        shdr.put32(starts[i] + s.loopStart);
        shdr.put32(starts[i] + s.loopEnd);
        shdr.put32(s.sampleRate);
        shdr.put8(s.originalPitch);
        shdr.put8(static_cast<uint8_t>(s.pitchCorrection));
        shdr.put16(static_cast<uint16_t>(s.link < 0 ? 0 : s.link));
        shdr.put16(s.type);
    }
    shdr.putName("EOS", 20);
    for (int i = 0; i < 26; i++) {
        shdr.put8(0);
    }
    Bytes pdtaBody;
    const std::pair<const char*, const Bytes*> lists[] = {
        {"phdr", &phdr}, {"pbag", &pbag}, {"pmod", &pmod}, {"pgen", &pgen}, {"inst", &inst},
        {"ibag", &ibag}, {"imod", &imod}, {"igen", &igen}, {"shdr", &shdr}};
    for (const auto& [id, body] : lists) {
        pdtaBody.putChunk(id, *body);
    }

    Bytes form;
    form.putId("sfbk");
    form.putList("INFO", infoBody);
    form.putList("sdta", sdtaBody);
    form.putList("pdta", pdtaBody);
    Bytes file;
    file.putChunk("RIFF", form);
    return file.data;
}

bool SoundFontWriter::write(const std::string& path, std::string& error) const {
    std::vector<uint8_t> bytes = serialize();
    // Written aside and renamed, so that a failed build never leaves a truncated bank.
    std::string partial = path + ".part";
    FILE* f = std::fopen(partial.c_str(), "wb");
    if (f == nullptr) {
        error = "cannot create " + partial;
        return false;
    }
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    bool ok = std::fclose(f) == 0 && written == bytes.size();
    if (!ok || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}
