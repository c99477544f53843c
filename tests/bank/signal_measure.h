#pragma once

#include <cstddef>
#include <vector>

// Measurements on rendered audio, shared by the bank's tests.

// Power of x[from, to) in dB relative to a full-scale square wave (0 dBFS = 1.0).
double levelDb(const std::vector<float>& x, size_t from, size_t to);

// Fundamental frequency of a steady periodic tone whose fundamental lies within a
// semitone of expectedHz. Reads 32768 frames from `from`, Hann window, zero-padded FFT;
// the strongest of the first harmonics is located by parabolic interpolation of its
// log magnitude and divided by its number.
double measureFundamentalHz(const std::vector<float>& x, size_t from, double rate,
                            double expectedHz);

double centsBetween(double hz, double referenceHz);

// Levels in dB of third-octave bands from 50 Hz to 12.5 kHz over x[from, from + 32768).
std::vector<double> bandLevelsDb(const std::vector<float>& x, size_t from, double rate);

// Root-mean-square difference of two band-level profiles, in dB.
double spectralDistanceDb(const std::vector<double>& a, const std::vector<double>& b);

// Largest ratio, in dB, of the high-passed (second-difference) power of any 2 ms slice of
// x[from, to) to the median slice: a click or a jump stands out, a steady tone does not.
double clickProminenceDb(const std::vector<float>& x, size_t from, size_t to, double rate);

// High-passed (second-difference) power in 2 ms slices centred on the loop seams at
// firstSeam + k * loopPeriod (k = 0, 1, ... while inside x), against slices a whole number
// of tone periods later, about a quarter loop on, where the waveform is at the same phase but
// no seam is near: 0 dB for a seamless loop, well above for a click at each pass.
double seamExcessDb(const std::vector<float>& x, double firstSeam, double loopPeriod,
                    double tonePeriod, double rate);
