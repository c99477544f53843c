#include "sf2_reader.h"

#include <cstdio>
#include <cstring>

namespace {

uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

std::string name20(const uint8_t* p) {
    size_t n = 0;
    while (n < 20 && p[n] != 0) {
        n++;
    }
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace

bool Sf2File::read(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        bytes.insert(bytes.end(), buf, buf + n);
    }
    std::fclose(f);
    return parse(bytes);
}

bool Sf2File::parse(const std::vector<uint8_t>& b) {
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 8, "sfbk", 4) != 0 || u32(b.data() + 4) + 8 != b.size()) {
        return false;
    }
    size_t pos = 12;
    while (pos + 12 <= b.size()) {
        if (std::memcmp(b.data() + pos, "LIST", 4) != 0) {
            return false;
        }
        size_t size = u32(b.data() + pos + 4);
        std::string type(reinterpret_cast<const char*>(b.data() + pos + 8), 4);
        size_t end = pos + 8 + size;
        if (end > b.size()) {
            return false;
        }
        for (size_t sub = pos + 12; sub + 8 <= end;) {
            std::string id(reinterpret_cast<const char*>(b.data() + sub), 4);
            size_t len = u32(b.data() + sub + 4);
            const uint8_t* body = b.data() + sub + 8;
            if (sub + 8 + len > end) {
                return false;
            }
            if (type == "INFO" && id == "ifil") {
                versionMajor = u16(body);
                versionMinor = u16(body + 2);
            } else if (type == "INFO") {
                info[id] = std::string(reinterpret_cast<const char*>(body),
                                       strnlen(reinterpret_cast<const char*>(body), len));
            } else if (type == "sdta" && id == "smpl") {
                pcm.resize(len / 2);
                for (size_t i = 0; i < pcm.size(); i++) {
                    pcm[i] = static_cast<int16_t>(u16(body + 2 * i));
                }
            } else if (type == "pdta") {
                listSizes[id] = len;
                if (id == "shdr") {
                    for (size_t r = 0; r + 1 < len / 46; r++) {
                        const uint8_t* p = body + 46 * r;
                        Sf2SampleHeader s;
                        s.name = name20(p);
                        s.start = u32(p + 20);
                        s.end = u32(p + 24);
                        s.loopStart = u32(p + 28);
                        s.loopEnd = u32(p + 32);
                        s.rate = u32(p + 36);
                        s.originalPitch = p[40];
                        s.correction = static_cast<int8_t>(p[41]);
                        s.link = u16(p + 42);
                        s.type = u16(p + 44);
                        samples.push_back(s);
                    }
                } else if (id == "phdr") {
                    for (size_t r = 0; r + 1 < len / 38; r++) {
                        const uint8_t* p = body + 38 * r;
                        presets.push_back({name20(p), u16(p + 20), u16(p + 22)});
                    }
                } else if (id == "inst") {
                    instrumentCount = len / 22 - 1;
                } else if (id == "pgen" || id == "igen") {
                    auto& list = id == "pgen" ? presetGenerators : instrumentGenerators;
                    for (size_t r = 0; r < len / 4; r++) {
                        list.push_back({u16(body + 4 * r), u16(body + 4 * r + 2)});
                    }
                } else if (id == "pbag" || id == "ibag") {
                    auto& list = id == "pbag" ? presetBags : instrumentBags;
                    for (size_t r = 0; r < len / 4; r++) {
                        list.push_back(u16(body + 4 * r));
                    }
                }
            }
            sub += 8 + len + (len & 1);
        }
        pos = end + (size & 1);
    }
    return true;
}

std::vector<float> Sf2File::samplePcm(const Sf2SampleHeader& s) const {
    std::vector<float> out;
    for (uint32_t i = s.start; i < s.end && i < pcm.size(); i++) {
        out.push_back(pcm[i] / 32768.0f);
    }
    return out;
}
