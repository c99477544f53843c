#include "signal_measure.h"

#include "fft.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

constexpr size_t kWindow = 32768;

} // namespace

double levelDb(const std::vector<float>& x, size_t from, size_t to) {
    to = std::min(to, x.size());
    double sum = 0.0;
    for (size_t i = from; i < to; i++) {
        sum += static_cast<double>(x[i]) * x[i];
    }
    return 10.0 * std::log10(sum / static_cast<double>(std::max<size_t>(1, to - from)) + 1e-20);
}

double frameDb(const std::vector<float>& left, const std::vector<float>& right, double at,
               double rate) {
    const size_t from = static_cast<size_t>(std::lround((at - 0.01) * rate));
    const size_t to = from + static_cast<size_t>(0.02 * rate);
    return 10.0 * std::log10((std::pow(10.0, levelDb(left, from, to) / 10) +
                              std::pow(10.0, levelDb(right, from, to) / 10)) /
                                 2.0 +
                             1e-20);
}

std::vector<double> fallAfter(const std::vector<float>& left, const std::vector<float>& right,
                              double release, double rate) {
    std::vector<double> frames;
    for (int f = 0; f < 40; f++) {
        frames.push_back(frameDb(left, right, release - 0.8 + 0.02 * f + 0.01, rate));
    }
    std::nth_element(frames.begin(), frames.begin() + 20, frames.end());
    std::vector<double> fall;
    for (double t : kReleasePoints) {
        fall.push_back(frameDb(left, right, release + t, rate) - frames[20]);
    }
    return fall;
}

double measureFundamentalHz(const std::vector<float>& x, size_t from, double rate,
                            double expectedHz) {
    const size_t pad = 2;
    std::vector<double> p = hannPowerBins(x, from, kWindow, pad);
    const double binHz = rate / static_cast<double>(kWindow * pad);
    double bestPower = 0.0, bestHz = 0.0;
    for (int h = 1; h <= 8 && h * expectedHz < 0.45 * rate; h++) {
        size_t lo = static_cast<size_t>(h * expectedHz * std::pow(2.0, -1.0 / 12) / binHz);
        size_t hi = static_cast<size_t>(h * expectedHz * std::pow(2.0, 1.0 / 12) / binHz) + 1;
        lo = std::max<size_t>(lo, 1);
        hi = std::min(hi, p.size() - 2);
        size_t k = lo;
        for (size_t i = lo; i <= hi; i++) {
            if (p[i] > p[k]) {
                k = i;
            }
        }
        if (p[k] <= bestPower) {
            continue;
        }
        double a = std::log(p[k - 1]), b = std::log(p[k]), c = std::log(p[k + 1]);
        double denominator = a - 2.0 * b + c;
        double delta = denominator < 0.0 ? 0.5 * (a - c) / denominator : 0.0;
        bestPower = p[k];
        bestHz = (static_cast<double>(k) + delta) * binHz / h;
    }
    return bestHz;
}

double centsBetween(double hz, double referenceHz) {
    return 1200.0 * std::log2(hz / referenceHz);
}

std::vector<double> bandLevelsDb(const std::vector<float>& x, size_t from, double rate) {
    std::vector<double> p = hannPowerBins(x, from, kWindow, 1);
    const double binHz = rate / static_cast<double>(kWindow);
    std::vector<double> bands;
    for (double centre = 50.0; centre <= 12500.0 * 1.01; centre *= std::pow(2.0, 1.0 / 3)) {
        size_t lo = static_cast<size_t>(centre * std::pow(2.0, -1.0 / 6) / binHz);
        size_t hi = static_cast<size_t>(centre * std::pow(2.0, 1.0 / 6) / binHz);
        double sum = 0.0;
        for (size_t i = lo; i <= hi && i < p.size(); i++) {
            sum += p[i];
        }
        bands.push_back(10.0 * std::log10(sum + 1e-30));
    }
    return bands;
}

double spectralDistanceDb(const std::vector<double>& a, const std::vector<double>& b) {
    size_t n = std::min(a.size(), b.size());
    if (n == 0) {
        return 0.0;
    }
    // Bands far below the loudest carry no audible difference.
    double floor = std::max(*std::max_element(a.begin(), a.begin() + static_cast<long>(n)),
                            *std::max_element(b.begin(), b.begin() + static_cast<long>(n))) -
                   60.0;
    double sum = 0.0;
    for (size_t i = 0; i < n; i++) {
        double d = std::max(a[i], floor) - std::max(b[i], floor);
        sum += d * d;
    }
    return std::sqrt(sum / static_cast<double>(n));
}

double clickProminenceDb(const std::vector<float>& x, size_t from, size_t to, double rate) {
    const size_t slice = static_cast<size_t>(rate / 500.0);
    std::vector<double> powers;
    for (size_t s = std::max<size_t>(from, 2); s + slice <= to && s + slice <= x.size();
         s += slice) {
        double sum = 0.0;
        for (size_t i = s; i < s + slice; i++) {
            double d2 = static_cast<double>(x[i]) - 2.0 * x[i - 1] + x[i - 2];
            sum += d2 * d2;
        }
        powers.push_back(sum + 1e-30);
    }
    if (powers.empty()) {
        return 0.0;
    }
    std::vector<double> sorted = powers;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    double median = sorted[sorted.size() / 2];
    return 10.0 * std::log10(*std::max_element(powers.begin(), powers.end()) / median);
}

double seamExcessDb(const std::vector<float>& x, double firstSeam, double loopPeriod,
                    double tonePeriod, double rate) {
    const long half = static_cast<long>(rate / 1000.0);
    // High-passed power against the slice's own power, so that the level of a note whose
    // loudness wanders (a long loop's seams fall at different levels) cancels out.
    auto slicePower = [&](double centre) {
        long c = std::lround(centre);
        double high = 0.0, all = 0.0;
        for (long i = c - half; i < c + half; i++) {
            double v = x[static_cast<size_t>(i)];
            double d2 = v - 2.0 * x[static_cast<size_t>(i - 1)] + x[static_cast<size_t>(i - 2)];
            high += d2 * d2;
            all += v * v;
        }
        return high / (all + 1e-30);
    };
    const double away = std::max(1.0, std::round(loopPeriod / 4.0 / tonePeriod)) * tonePeriod;
    double seams = 0.0, between = 0.0;
    for (double t = firstSeam; t + away + half + 1 < static_cast<double>(x.size());
         t += loopPeriod) {
        if (t - half < 2) {
            continue;
        }
        seams += slicePower(t);
        between += slicePower(t + away);
    }
    return 10.0 * std::log10((seams + 1e-30) / (between + 1e-30));
}

double envelopeModulationDb(const std::vector<float>& left, const std::vector<float>& right,
                            double from, double to, double rate) {
    // Hann-weighted power over 20 ms every 10 ms: a plain 10 ms frame holding a fractional
    // number of periods ripples at the tone's distance from a multiple of 100 Hz (4 Hz for
    // a G at 196 Hz), a line no listener hears.
    const double frameLength = rate / 100.0;
    const size_t span = static_cast<size_t>(2.0 * frameLength);
    const std::vector<double> weight = hannWindow(span);
    std::vector<double> envelope;
    for (double s = from; s + 2.0 * frameLength <= to; s += frameLength) {
        size_t a = static_cast<size_t>(s);
        double power = 0.0, weights = 0.0;
        for (size_t i = 0; i < span && a + i < left.size() && a + i < right.size(); i++) {
            double w = weight[i];
            power += w * 0.5 *
                     (static_cast<double>(left[a + i]) * left[a + i] +
                      static_cast<double>(right[a + i]) * right[a + i]);
            weights += w;
        }
        envelope.push_back(std::sqrt(power / (weights + 1e-30)));
    }
    if (envelope.size() < 16) {
        return 0.0;
    }
    double mean = 0.0;
    for (double e : envelope) {
        mean += e / static_cast<double>(envelope.size());
    }
    // Zero-padded eightfold or more so that a line between bins is not underread.
    size_t n = 1;
    while (n < 8 * envelope.size()) {
        n <<= 1;
    }
    std::vector<std::complex<double>> a(n);
    double windowSum = 0.0;
    const std::vector<double> taper = hannWindow(envelope.size());
    for (size_t i = 0; i < envelope.size(); i++) {
        double w = taper[i];
        a[i] = (envelope[i] - mean) * w;
        windowSum += w;
    }
    fft(a);
    double strongest = 0.0;
    for (size_t k = 1; k < n / 2; k++) {
        double hz = 100.0 * static_cast<double>(k) / static_cast<double>(n);
        if (hz >= 4.0 && hz <= 30.0) {
            strongest = std::max(strongest, 2.0 * std::abs(a[k]) / windowSum);
        }
    }
    return 20.0 * std::log10(strongest / (mean + 1e-30) + 1e-30);
}

std::vector<double> harmonicLevelsDb(const std::vector<float>& x, size_t from, size_t to,
                                     double rate, double hz, int count) {
    std::vector<double> power(static_cast<size_t>(count), 0.0);
    int windows = 0;
    for (size_t s = from; s + kWindow <= std::min(to, x.size()); s += kWindow / 2) {
        const std::vector<double> p =
            partialPowers(hannPowerBins(x, s, kWindow, 1), rate, hz, count);
        for (size_t h = 0; h < power.size(); h++) {
            power[h] += p[h];
        }
        windows++;
    }
    std::vector<double> levels;
    for (int h = 1; h <= count; h++) {
        bool audible = h * hz < rate / 2 && windows > 0;
        levels.push_back(
            audible ? 10.0 * std::log10(power[static_cast<size_t>(h - 1)] / windows + 1e-30)
                    : -300.0);
    }
    return levels;
}
