#include "release_fit.h"

#include <algorithm>
#include <cmath>

namespace {

// After the pipe stops speaking the room rings on: the points span its fall.
constexpr double kPoints[] = {0.05, 0.1, 0.2, 0.35, 0.5, 0.75, 1.0, 1.5, 2.0};
constexpr double kAudibleDb = -50.0;

} // namespace

double frameLevelDb(const std::vector<std::vector<float>>& x, double at, uint32_t rate) {
    const long from = std::lround((at - 0.01) * rate);
    const long to = std::lround((at + 0.01) * rate);
    double sum = 0.0;
    for (const auto& ch : x) {
        for (long i = std::max(0L, from); i < to && i < static_cast<long>(ch.size()); i++) {
            sum += static_cast<double>(ch[static_cast<size_t>(i)]) * ch[static_cast<size_t>(i)];
        }
    }
    return 10.0 * std::log10(sum / static_cast<double>((to - from) * x.size()) + 1e-30);
}

ReleaseFit fitRelease(const std::vector<std::vector<float>>& x, size_t marker, uint32_t rate,
                      double shortest, double longest) {
    const double release = static_cast<double>(marker) / rate;
    std::vector<double> frames;
    for (double t = release - 0.8; t + 0.02 <= release + 1e-9; t += 0.02) {
        frames.push_back(frameLevelDb(x, t + 0.01, rate));
    }
    std::nth_element(frames.begin(), frames.begin() + static_cast<long>(frames.size() / 2),
                     frames.end());
    const double sustain = frames[frames.size() / 2];
    std::vector<std::pair<double, double>> fall;
    for (double t : kPoints) {
        double level = frameLevelDb(x, release + t, rate) - sustain;
        if (level > kAudibleDb) {
            fall.push_back({t, level});
        }
    }
    ReleaseFit best;
    best.worstGapDb = 1e9;
    // Release times a hundredth of an octave apart: finer than any difference heard.
    for (double seconds = shortest; seconds <= longest * 1.0001;
         seconds *= std::pow(2.0, 1.0 / 100)) {
        double worst = 0.0;
        for (const auto& [t, level] : fall) {
            worst = std::max(worst, std::fabs(-96.0 * t / seconds - level));
        }
        if (worst < best.worstGapDb) {
            best = {seconds, worst};
        }
    }
    return best;
}
