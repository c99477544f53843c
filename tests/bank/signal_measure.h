#pragma once

#include <cstddef>
#include <vector>

// Measurements on rendered audio, shared by the bank's tests and the live test that
// hears GrandOrgue.

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

// High-passed (second-difference) power, relative to the slice's power, in 2 ms slices
// centred on the loop seams at firstSeam + k * loopPeriod (k = 0, 1, ... while inside x),
// against slices a whole number of tone periods later, about a quarter loop on, where the waveform
// is at the same phase but no seam is near: 0 dB for a seamless loop, well above for a click at
// each pass.
double seamExcessDb(const std::vector<float>& x, double firstSeam, double loopPeriod,
                    double tonePeriod, double rate);

// Strongest line between 4 and 30 Hz of the amplitude envelope (10 ms frames: the stereo
// power, Hann-weighted over 20 ms) of left and right over [from, to), in dB relative to the mean
// amplitude: -6 dB is a modulation depth of 50 %. A held pipe has little; a short loop that repeats
// the wind noise makes a line at its repetition rate. A recording read at a playback ratio r is
// measured with rate 44100 * r, so that its frames and lines are those a listener hears.
double envelopeModulationDb(const std::vector<float>& left, const std::vector<float>& right,
                            double from, double to, double rate);

// Levels in dB of harmonics 1..count of a tone of fundamental hz over x[from, to): the power
// within a quarter of the fundamental of each harmonic, averaged over Hann windows of 32768
// frames hopping by half a window. Harmonics at or above the Nyquist frequency read -300.
std::vector<double> harmonicLevelsDb(const std::vector<float>& x, size_t from, size_t to,
                                     double rate, double hz, int count);

// Where a released pipe's fall is read: seconds after the release.
inline const std::vector<double> kReleasePoints = {0.05, 0.1, 0.2, 0.35, 0.5, 0.75, 1.0, 1.5, 2.0};

// Level of the 20 ms centred on `at` seconds, both channels' mean power, in dB.
double frameDb(const std::vector<float>& left, const std::vector<float>& right, double at,
               double rate);

// Levels at kReleasePoints after `release` seconds, relative to the median 20 ms level of
// the 0.8 s before it: a released pipe's fall from its sustain.
std::vector<double> fallAfter(const std::vector<float>& left, const std::vector<float>& right,
                              double release, double rate);
