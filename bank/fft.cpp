#include "fft.h"

#include <cmath>

void fft(std::vector<std::complex<double>>& a) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; i++) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        double angle = -2.0 * M_PI / static_cast<double>(len);
        std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0, 0.0);
            for (size_t k = 0; k < len / 2; k++) {
                std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

std::vector<double> hannWindow(size_t n) {
    std::vector<double> w(n);
    for (size_t i = 0; i < n; i++) {
        w[i] = 0.5 -
               0.5 * std::cos(2.0 * M_PI * (static_cast<double>(i) + 0.5) / static_cast<double>(n));
    }
    return w;
}

std::vector<double> hannPowerBins(const std::vector<float>& x, size_t from, size_t window,
                                  size_t pad) {
    // The bank tests measure window after window of one size: the window is made once.
    static thread_local std::vector<double> hann;
    if (hann.size() != window) {
        hann = hannWindow(window);
    }
    std::vector<std::complex<double>> a(window * pad);
    for (size_t i = 0; i < window && from + i < x.size(); i++) {
        a[i] = x[from + i] * hann[i];
    }
    fft(a);
    std::vector<double> p(a.size() / 2);
    for (size_t i = 0; i < p.size(); i++) {
        p[i] = std::norm(a[i]) + 1e-30;
    }
    return p;
}

std::vector<double> partialPowers(const std::vector<double>& bins, double rate, double hz,
                                  int count) {
    const double binsPerHz = 2.0 * static_cast<double>(bins.size()) / rate;
    std::vector<double> power(static_cast<size_t>(count), 0.0);
    for (int h = 1; h <= count && h * hz < rate / 2; h++) {
        const double lo = (h - 0.25) * hz * binsPerHz, hi = (h + 0.25) * hz * binsPerHz;
        for (size_t k = static_cast<size_t>(std::ceil(lo)); k <= hi && k < bins.size(); k++) {
            power[static_cast<size_t>(h - 1)] += bins[k];
        }
    }
    return power;
}
