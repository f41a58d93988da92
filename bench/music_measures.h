// Measures of a rendered stereo soundtrack, shared by the music analysis program and the music
// tests: K-weighted gated loudness (LUFS), an oversampled true peak, the share of the energy
// above a frequency, the side-to-mid ratio, onset strength around a moment and the strength
// of each pitch class, the loudness range and the energy in a frequency band. Header only, no
// dependencies beyond the standard library.
//
//   Stereo s{rate, left, right};
//   double lufs = integratedLoudness(s, 0, s.frames());        // -70 when silent
//   double tp = truePeakDb(s, 0, s.frames());                  // dBTP, 4x oversampled
//   double share = energyAbove(s, 2500.0, 0, s.frames());      // 0..1
//   double width = sideToMidDb(s, 0, s.frames());
//   OnsetHit hit = strongestOnset(s, 5.25, 0.1);             // time and strength in dB
//   double lra = loudnessRange(s, 0, s.frames());              // LU
//   double mids = bandDb(s, 1000, 3000, 0, s.frames());        // dB of the whole's energy
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

struct Stereo {
    int rate = 44100;
    std::vector<float> left, right;
    std::size_t frames() const { return left.size(); }
    std::size_t at(double seconds) const {
        return std::min(frames(), (std::size_t)std::max(0.0, std::round(seconds * rate)));
    }
};

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
    double step(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

inline Biquad normalisedBiquad(double b0, double b1, double b2, double a0, double a1, double a2) {
    Biquad f;
    f.b0 = b0 / a0, f.b1 = b1 / a0, f.b2 = b2 / a0, f.a1 = a1 / a0, f.a2 = a2 / a0;
    return f;
}

inline Biquad highPass(double rate, double cutoff, double q) {
    double w = 2 * M_PI * cutoff / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
    return normalisedBiquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

inline Biquad lowPass(double rate, double cutoff, double q) {
    double w = 2 * M_PI * cutoff / rate, c = std::cos(w), alpha = std::sin(w) / (2 * q);
    return normalisedBiquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

// The two stages of the loudness standard's K weighting: a +4 dB shelf above about 1.7 kHz
// and a high pass at 38 Hz.
inline void kWeighting(double rate, Biquad& shelf, Biquad& rumble) {
    const double gainDb = 3.99984385397, q = 0.7071752369554193, fc = 1681.974450955533;
    double a = std::pow(10.0, gainDb / 40), w = 2 * M_PI * fc / rate, c = std::cos(w);
    double alpha = std::sin(w) / (2 * q), r = 2 * std::sqrt(a) * alpha;
    shelf = normalisedBiquad(a * ((a + 1) + (a - 1) * c + r), -2 * a * ((a - 1) + (a + 1) * c),
                             a * ((a + 1) + (a - 1) * c - r), (a + 1) - (a - 1) * c + r,
                             2 * ((a - 1) - (a + 1) * c), (a + 1) - (a - 1) * c - r);
    rumble = highPass(rate, 38.13547087613982, 0.5003270373253953);
}

// K-weighted power of both channels summed, per frame of [from, to).
inline std::vector<double> weightedPower(const Stereo& s, std::size_t from, std::size_t to) {
    std::vector<double> power(to > from ? to - from : 0, 0.0);
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& x = side ? s.right : s.left;
        Biquad shelf, rumble;
        kWeighting(s.rate, shelf, rumble);
        for (std::size_t i = from; i < to; ++i) {
            double y = rumble.step(shelf.step(x[i]));
            power[i - from] += y * y;
        }
    }
    return power;
}

// Mean power of windows of the given length every 100 ms.
inline std::vector<double> blockPowers(const std::vector<double>& power, std::size_t block, std::size_t hop) {
    std::vector<double> blocks;
    double sum = 0;
    for (std::size_t i = 0; i < block && i < power.size(); ++i) sum += power[i];
    for (std::size_t b = 0; b + block <= power.size(); b += hop) {
        blocks.push_back(sum / block);
        for (std::size_t i = b; i < b + hop && i + block < power.size(); ++i) sum += power[i + block] - power[i];
    }
    return blocks;
}

inline double toLufs(double power) { return power > 0 ? -0.691 + 10 * std::log10(power) : -70.0; }

// Integrated loudness over [from, to) frames: 400 ms blocks every 100 ms, the absolute gate at
// -70 LUFS and the relative gate 10 LU under the ungated mean.
inline double integratedLoudness(const Stereo& s, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    if (to <= from) return -70.0;
    std::vector<double> blocks = blockPowers(weightedPower(s, from, to), s.rate * 4 / 10, s.rate / 10);
    auto gatedMean = [&](double gate) {
        double sum = 0;
        int n = 0;
        for (double p : blocks)
            if (p > 0 && toLufs(p) > gate) sum += p, ++n;
        return n ? sum / n : 0.0;
    };
    double ungated = gatedMean(-70.0);
    if (ungated <= 0) return -70.0;
    double mean = gatedMean(toLufs(ungated) - 10.0);
    return mean > 0 ? toLufs(mean) : -70.0;
}

// Loudness range: the spread between the 10th and 95th percentiles of the 3 s short-term
// loudness every 100 ms, after the absolute gate and a relative gate 20 LU under their mean.
inline double loudnessRange(const Stereo& s, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    if (to <= from) return 0.0;
    std::vector<double> blocks = blockPowers(weightedPower(s, from, to), s.rate * 3, s.rate / 10), kept;
    double sum = 0;
    for (double p : blocks)
        if (toLufs(p) > -70.0) kept.push_back(p), sum += p;
    if (kept.empty()) return 0.0;
    double gate = toLufs(sum / kept.size()) - 20.0;
    std::vector<double> levels;
    for (double p : kept)
        if (toLufs(p) > gate) levels.push_back(toLufs(p));
    std::sort(levels.begin(), levels.end());
    auto at = [&](double q) { return levels[(std::size_t)std::lround(q * (levels.size() - 1))]; };
    return at(0.95) - at(0.10);
}

// The energy between low and high Hz (fourth-order Butterworth edges; 0 for no lower edge, a
// high edge at or above half the rate for none) in dB relative to the whole signal's energy.
inline double bandDb(const Stereo& s, double low, double high, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    double all = 1e-30, band = 1e-30;
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& x = side ? s.right : s.left;
        Biquad h1 = highPass(s.rate, std::max(low, 1.0), 0.54119610);
        Biquad h2 = highPass(s.rate, std::max(low, 1.0), 1.3065630);
        Biquad l1 = lowPass(s.rate, std::min(high, 0.45 * s.rate), 0.54119610);
        Biquad l2 = lowPass(s.rate, std::min(high, 0.45 * s.rate), 1.3065630);
        bool highEdge = high < 0.45 * s.rate;
        for (std::size_t i = from; i < to; ++i) {
            double y = x[i];
            if (low > 0) y = h2.step(h1.step(y));
            if (highEdge) y = l2.step(l1.step(y));
            all += (double)x[i] * x[i];
            band += y * y;
        }
    }
    return 10 * std::log10(band / all);
}

// The highest magnitude of the signal between samples, found by 4x windowed-sinc
// interpolation, in dB relative to full scale.
inline double truePeakDb(const Stereo& s, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    const int taps = 12, over = 4;
    std::vector<double> kernel[over];
    for (int p = 0; p < over; ++p)
        for (int k = -taps; k < taps; ++k) {
            double x = k + (double)p / over;
            double sinc = x == 0 ? 1.0 : std::sin(M_PI * x) / (M_PI * x);
            double window = 0.5 + 0.5 * std::cos(M_PI * x / taps);
            kernel[p].push_back(sinc * window);
        }
    double peak = 0;
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& x = side ? s.right : s.left;
        for (std::size_t i = from; i < to; ++i) {
            peak = std::max(peak, (double)std::fabs(x[i]));
            if (std::fabs(x[i]) < 0.5) continue;  // only loud stretches can overshoot
            for (int p = 1; p < over; ++p) {
                double v = 0;
                for (int k = -taps; k < taps; ++k) {
                    long j = (long)i - k;
                    if (j >= 0 && j < (long)x.size()) v += x[j] * kernel[p][k + taps];
                }
                peak = std::max(peak, std::fabs(v));
            }
        }
    }
    return peak > 0 ? 20 * std::log10(peak) : -120.0;
}

// The share of the signal's energy above cutoff (a fourth-order Butterworth high pass).
inline double energyAbove(const Stereo& s, double cutoff, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    double all = 0, high = 0;
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& x = side ? s.right : s.left;
        Biquad a = highPass(s.rate, cutoff, 0.54119610), b = highPass(s.rate, cutoff, 1.3065630);
        for (std::size_t i = from; i < to; ++i) {
            double y = b.step(a.step(x[i]));
            all += (double)x[i] * x[i];
            high += y * y;
        }
    }
    return all > 0 ? high / all : 0.0;
}

inline double sideToMidDb(const Stereo& s, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    double mid = 0, side = 0;
    for (std::size_t i = from; i < to; ++i) {
        double m = 0.5 * (s.left[i] + s.right[i]), d = 0.5 * (s.left[i] - s.right[i]);
        mid += m * m;
        side += d * d;
    }
    return mid > 0 && side > 0 ? 10 * std::log10(side / mid) : -120.0;
}

inline double rmsDb(const Stereo& s, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += s.left[i] * s.left[i] + s.right[i] * s.right[i];
    return to > from && sum > 0 ? 10 * std::log10(sum / (2.0 * (to - from))) : -120.0;
}

struct OnsetHit {
    double time = 0;      // seconds
    double strengthDb = 0;  // energy of a 5 ms frame over the mean of the 50 ms before it
};

// The strongest rise of energy within window seconds of the moment, measured on the signal
// above 1 kHz, where a hit's attack stands out and the beating of low held notes does not.
inline OnsetHit strongestOnset(const Stereo& s, double moment, double window) {
    std::size_t frame = s.rate / 200, from = s.at(moment - window - 0.1), to = s.at(moment + window);
    Biquad a = highPass(s.rate, 1000, 0.7071), b = highPass(s.rate, 1000, 0.7071);
    std::vector<double> energy;
    for (std::size_t i = from; i + frame <= to; i += frame) {
        double sum = 1e-12;
        for (std::size_t j = i; j < i + frame; ++j) {
            double y = a.step(s.left[j] + s.right[j]);
            y = b.step(y);
            sum += y * y;
        }
        energy.push_back(sum);
    }
    OnsetHit best{moment, -100};
    for (std::size_t f = 10; f < energy.size(); ++f) {
        double t = (double)(from + f * frame) / s.rate;
        if (std::fabs(t - moment) > window) continue;
        double before = 0;
        for (std::size_t k = f - 10; k < f; ++k) before += energy[k];
        double db = 10 * std::log10(energy[f] / (before / 10));
        if (db > best.strengthDb) best = {t, db};
    }
    return best;
}

// The energy of each pitch class (0 = C) over octaves 2 to 6, by Goertzel filters on the mono
// sum; normalised so the strongest class is 1.
inline std::vector<double> pitchClassStrengths(const Stereo& s, std::size_t from, std::size_t to) {
    to = std::min(to, s.frames());
    std::vector<double> strength(12, 0.0);
    for (int note = 36; note < 96; ++note)  // C2 to B6 as MIDI numbers, +-40 cents wide
        for (int cents = -40; cents <= 40; cents += 20) {
            double f = 440.0 * std::pow(2.0, (note - 69 + cents / 100.0) / 12.0);
            double coeff = 2 * std::cos(2 * M_PI * f / s.rate), q1 = 0, q2 = 0;
            for (std::size_t i = from; i < to; ++i) {
                double q0 = coeff * q1 - q2 + 0.5 * (s.left[i] + s.right[i]);
                q2 = q1, q1 = q0;
            }
            strength[note % 12] += q1 * q1 + q2 * q2 - coeff * q1 * q2;
        }
    double top = *std::max_element(strength.begin(), strength.end());
    for (double& v : strength) v = top > 0 ? v / top : 0.0;
    return strength;
}
