#pragma once

#include <complex>
#include <cstddef>
#include <vector>

// In-place radix-2 FFT; the size is a power of two.
void fft(std::vector<std::complex<double>>& a);

// Hann window of n points.
std::vector<double> hannWindow(size_t n);

// Power in each frequency bin of x[from, from + window) under a Hann window, zero-padded
// to window * pad points: window * pad / 2 bins.
std::vector<double> hannPowerBins(const std::vector<float>& x, size_t from, size_t window,
                                  size_t pad);

// Power of partials 1..count of a tone at hz in such bins (window * pad points at `rate`):
// the bins within a quarter of the fundamental of each, so that a pipe a few cents off its
// pitch data is still read whole. Partials at or above the Nyquist frequency read 0.
std::vector<double> partialPowers(const std::vector<double>& bins, double rate, double hz,
                                  int count);
