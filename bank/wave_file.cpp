#include "wave_file.h"

#include <cstring>

namespace {

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

} // namespace

bool WaveFile::parse(const std::vector<uint8_t>& bytes, std::string& error) {
    channels.clear();
    loops.clear();
    cueOffsets.clear();
    samplerPresent = false;
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF/WAVE file";
        return false;
    }
    const uint8_t* data = nullptr;
    size_t dataSize = 0;
    int channelCount = 0;
    int bits = 0;
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const uint8_t* id = bytes.data() + pos;
        size_t size = le32(id + 4);
        const uint8_t* body = id + 8;
        size_t available = bytes.size() - pos - 8;
        if (size > available) {
            error = "chunk '" + std::string(reinterpret_cast<const char*>(id), 4) +
                    "' runs past the end of the file";
            return false;
        }
        if (std::memcmp(id, "fmt ", 4) == 0 && size >= 16) {
            uint16_t tag = le16(body);
            channelCount = le16(body + 2);
            sampleRate = le32(body + 4);
            bits = le16(body + 14);
            if (tag == 0xFFFE && size >= 40) {
                tag = le16(body + 24); // WAVE_FORMAT_EXTENSIBLE: the sub-format's tag
            }
            if (tag != 1 || channelCount < 1 || bits < 8 || bits > 32 || bits % 8 != 0) {
                error = "not integer PCM";
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            data = body;
            dataSize = size;
        } else if (std::memcmp(id, "smpl", 4) == 0 && size >= 36) {
            samplerPresent = true;
            unityNote = le32(body + 12);
            pitchFraction = le32(body + 16) / 4294967296.0;
            uint32_t count = le32(body + 28);
            for (uint32_t i = 0; i < count && 36 + 24 * (i + 1) <= size; i++) {
                const uint8_t* loop = body + 36 + 24 * i;
                loops.push_back({le32(loop + 8), le32(loop + 12)});
            }
        } else if (std::memcmp(id, "cue ", 4) == 0 && size >= 4) {
            uint32_t count = le32(body);
            for (uint32_t i = 0; i < count && 4 + 24 * (i + 1) <= size; i++) {
                cueOffsets.push_back(le32(body + 4 + 24 * i + 20));
            }
        }
        pos += 8 + size + (size & 1);
    }
    if (!haveFormat || data == nullptr) {
        error = haveFormat ? "no 'data' chunk" : "no 'fmt ' chunk";
        return false;
    }
    size_t width = static_cast<size_t>(bits / 8);
    size_t frames = dataSize / (width * channelCount);
    channels.assign(static_cast<size_t>(channelCount), std::vector<float>(frames));
    double scale = 1.0 / static_cast<double>(1ULL << (bits - 1));
    for (size_t f = 0; f < frames; f++) {
        for (int c = 0; c < channelCount; c++) {
            const uint8_t* p = data + (f * channelCount + c) * width;
            int64_t v = 0;
            if (width == 1) {
                v = static_cast<int64_t>(p[0]) - 128;
            } else {
                uint32_t u = 0;
                for (size_t b = 0; b < width; b++) {
                    u |= static_cast<uint32_t>(p[b]) << (8 * b);
                }
                u <<= 32 - 8 * width; // sign-extend through the top bit
                v = static_cast<int32_t>(u) >> (32 - 8 * width);
            }
            channels[static_cast<size_t>(c)][f] = static_cast<float>(v * scale);
        }
    }
    return true;
}
