// vennoroll-render's web page: the performance rendered through FluidSynth
// straight into an Opus encoder, then the page around it.
#include <opusenc.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "page.h"
#include "performance.h"
#include "progress.h"
#include "render.h"
#include "serialise.h"
#include "spool.h"
#include "state.h"

namespace {

// The page's sound is made at Opus's own rate: nothing to resample.
const double pagerate = 48000.0;

int collect(void* user, const unsigned char* data, opus_int32 length) {
    static_cast<std::string*>(user)->append(reinterpret_cast<const char*>(data),
                                            static_cast<size_t>(length));
    return 0;
}

int closed(void* /*user*/) {
    return 0;
}

// The performance until the roll's last hole has closed, where its paper
// ends, then what still sounds until the last voice has stopped, at most
// tailseconds, faded out over their last fadeseconds.
bool encodeperformance(renderhandles& fluid, size_t op_size, double seconds, std::string& ogg) {
    OpusEncCallbacks callbacks = {collect, closed};
    OggOpusComments* comments = ope_comments_create();
    int error = 0;
    OggOpusEnc* encoder =
        comments != nullptr
            ? ope_encoder_create_callbacks(&callbacks, &ogg, comments,
                                           static_cast<opus_int32>(pagerate), 2, 0, &error)
            : nullptr;
    if (encoder == nullptr) {
        ope_comments_destroy(comments);
        return false;
    }
    bool good = ope_encoder_ctl(encoder, OPUS_SET_BITRATE(page::bitrate)) == OPE_OK;
    fluid_player_add_mem(fluid.player, op_buffer, op_size);
    fluid_player_play(fluid.player);

    const int period = 4096;
    std::vector<float> pcm(2 * period);
    const double total = scoreseconds();
    const long long end = static_cast<long long>(seconds * pagerate);
    const long long stop = end + static_cast<long long>(page::tailseconds * pagerate);
    const long long fadefrom = stop - static_cast<long long>(page::fadeseconds * pagerate);
    long long frames = 0;
    while (good && frames < stop &&
           (frames < end || fluid_synth_get_active_voice_count(fluid.synth) > 0)) {
        good = fluid_synth_write_float(fluid.synth, period, pcm.data(), 0, 2, pcm.data(), 1, 2) ==
               FLUID_OK;
        for (int i = 0; i < period; i++) {
            float gain =
                static_cast<float>(stop - frames - i) / static_cast<float>(stop - fadefrom);
            gain = gain < 0.0f ? 0.0f : gain > 1.0f ? 1.0f : gain;
            pcm[2 * i] *= gain;
            pcm[2 * i + 1] *= gain;
        }
        good = good && ope_encoder_write_float(encoder, pcm.data(), period) == OPE_OK;
        frames += period;
        if (frames < end) {
            drawprogress(handedseconds(fluid_player_get_current_tick(fluid.player)), total);
        }
    }
    endprogress();
    good = good && ope_encoder_drain(encoder) == OPE_OK;
    ope_encoder_destroy(encoder);
    ope_comments_destroy(comments);
    return good;
}

} // namespace

void writepagefile(renderhandles& fluid, const std::string& op_string, size_t op_size) {
    finishperformance();
    if (watched.seconds > page::longestpage) {
        std::cout << "Roll too long for a page (over 30 minutes)" << std::endl;
        std::exit(1);
    }
    fillopbuffer(op_string, op_size);
    std::string ogg;
    if (!encodeperformance(fluid, op_size, spoolplayed(watched.rate, watched.seconds), ogg)) {
        writingfailed();
    }
    teardownrender(fluid);
    if (!page::write(watched, ogg, pendingoutput())) {
        writingfailed();
    }
}
