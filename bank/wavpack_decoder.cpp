#include "wavpack_decoder.h"

#include <wavpack/wavpack.h>

#include <algorithm>
#include <cstring>

namespace {

struct MemoryStream {
    const uint8_t* data;
    int64_t size;
    int64_t pos;
    int pushedBack;
};

MemoryStream* stream(void* id) {
    return static_cast<MemoryStream*>(id);
}

int32_t readBytes(void* id, void* out, int32_t count) {
    MemoryStream* s = stream(id);
    auto* dst = static_cast<uint8_t*>(out);
    int32_t done = 0;
    if (count > 0 && s->pushedBack >= 0) {
        dst[done++] = static_cast<uint8_t>(s->pushedBack);
        s->pushedBack = -1;
    }
    int64_t left = std::max<int64_t>(0, s->size - s->pos);
    int32_t n = static_cast<int32_t>(std::min<int64_t>(count - done, left));
    if (n > 0) {
        std::memcpy(dst + done, s->data + s->pos, static_cast<size_t>(n));
        s->pos += n;
        done += n;
    }
    return done;
}

int32_t writeBytes(void*, void*, int32_t) {
    return 0;
}

int64_t getPos(void* id) {
    MemoryStream* s = stream(id);
    return s->pushedBack >= 0 ? s->pos - 1 : s->pos;
}

int setPosAbs(void* id, int64_t pos) {
    MemoryStream* s = stream(id);
    s->pushedBack = -1;
    s->pos = std::clamp<int64_t>(pos, 0, s->size);
    return 0;
}

int setPosRel(void* id, int64_t delta, int mode) {
    MemoryStream* s = stream(id);
    int64_t base = mode == SEEK_SET ? 0 : mode == SEEK_END ? s->size : getPos(id);
    return setPosAbs(id, base + delta);
}

int pushBackByte(void* id, int c) {
    MemoryStream* s = stream(id);
    if (s->pushedBack >= 0 || s->pos == 0) {
        return EOF;
    }
    s->pos--;
    return c;
}

int64_t getLength(void* id) {
    return stream(id)->size;
}
int canSeek(void*) {
    return 1;
}
int truncateHere(void*) {
    return 0;
}
int closeStream(void*) {
    return 0;
}

void putLittleEndian(std::vector<uint8_t>& out, int32_t value, int bytes) {
    for (int i = 0; i < bytes; i++) {
        out.push_back(static_cast<uint8_t>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF));
    }
}

} // namespace

bool decodeWavpack(const std::vector<uint8_t>& packed, std::vector<uint8_t>& wave,
                   std::string& error) {
    wave.clear();
    WavpackStreamReader64 reader = {readBytes,    writeBytes, getPos,  setPosAbs,    setPosRel,
                                    pushBackByte, getLength,  canSeek, truncateHere, closeStream};
    MemoryStream s = {packed.data(), static_cast<int64_t>(packed.size()), 0, -1};
    char message[80] = {0};
    WavpackContext* wpc = WavpackOpenFileInputEx64(&reader, &s, nullptr, message, OPEN_WRAPPER, 0);
    if (wpc == nullptr) {
        error = std::string("not a WavPack image: ") + message;
        return false;
    }
    int channels = WavpackGetNumChannels(wpc);
    int bytesPerSample = WavpackGetBytesPerSample(wpc);
    int64_t frames = WavpackGetNumSamples64(wpc);
    if ((WavpackGetMode(wpc) & MODE_FLOAT) || channels < 1 || frames < 0) {
        WavpackCloseFile(wpc);
        error = "unsupported WavPack format (float, no channels or unknown length)";
        return false;
    }
    uint32_t headerBytes = WavpackGetWrapperBytes(wpc);
    std::vector<uint8_t> header(WavpackGetWrapperData(wpc),
                                WavpackGetWrapperData(wpc) + headerBytes);
    WavpackFreeWrapper(wpc);

    std::vector<uint8_t> pcm;
    pcm.reserve(static_cast<size_t>(frames) * channels * bytesPerSample);
    std::vector<int32_t> block(4096 * static_cast<size_t>(channels));
    int64_t decoded = 0;
    for (;;) {
        uint32_t got = WavpackUnpackSamples(wpc, block.data(), 4096);
        if (got == 0) {
            break;
        }
        for (size_t i = 0; i < got * static_cast<size_t>(channels); i++) {
            // 8-bit WAVE data is unsigned; WavPack hands it back signed.
            putLittleEndian(pcm, bytesPerSample == 1 ? block[i] + 128 : block[i], bytesPerSample);
        }
        decoded += got;
    }
    int errors = WavpackGetNumErrors(wpc);
    // The trailing wrapper (chunks after the data) is only known once every block is read;
    // the library picks it up on the way unless the last block ends the stream early.
    if (WavpackGetWrapperBytes(wpc) == 0) {
        WavpackSeekTrailingWrapper(wpc);
    }
    uint32_t trailerBytes = WavpackGetWrapperBytes(wpc);
    std::vector<uint8_t> trailer;
    if (trailerBytes > 0) {
        trailer.assign(WavpackGetWrapperData(wpc), WavpackGetWrapperData(wpc) + trailerBytes);
    }
    WavpackCloseFile(wpc);
    if (errors > 0 || decoded != frames) {
        error = "corrupt WavPack data (" + std::to_string(errors) + " bad blocks, " +
                std::to_string(decoded) + " of " + std::to_string(frames) + " frames)";
        return false;
    }
    if (header.size() < 12 || std::memcmp(header.data(), "RIFF", 4) != 0) {
        error = "WavPack image carries no RIFF header";
        return false;
    }
    wave = std::move(header);
    wave.insert(wave.end(), pcm.begin(), pcm.end());
    wave.insert(wave.end(), trailer.begin(), trailer.end());
    return true;
}
