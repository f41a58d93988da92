// The soundtrack's samples, synthesised one by one. Drums and effects are one-shot samples
// played at their own pitch; pitched sounds are either looped tones built from whole cycles
// (pads, lead, bass), whose first bite and darkening run before the loop (the instruments'
// envelopes shape their level), or one-shot
// rings (bell, pluck) made an octave above middle C so the notes they play stay close to their
// recorded length.
#include "music_samples.h"

#include <cmath>

namespace music {
namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double middleC = 261.6255653;

// Fixed-seed noise so every run writes the same bytes.
struct Noise {
    uint32_t state;
    double next() {
        state = state * 1664525u + 1013904223u;
        return (double)(state >> 8) / 8388608.0 - 1.0;
    }
};

// A state-variable filter run twice per sample, which keeps it stable up to high cutoffs.
struct Svf {
    double low = 0, band = 0, high = 0;
    void step(double x, double cutoff, double damping) {
        double f = 2 * std::sin(pi * cutoff / (2.0 * sampleRate));
        for (int i = 0; i < 2; ++i) {
            low += f * band;
            high = x - low - damping * band;
            band += f * high;
        }
    }
};

int16_t toPcm(double v) {
    double s = std::lround(v * 32767.0);
    return (int16_t)(s > 32767 ? 32767 : (s < -32767 ? -32767 : s));
}

// Six detuned square waves at cymbal-like ratios: the metal in hats and crash.
double metal(double t) {
    static const double freqs[] = {348.0, 517.0, 628.0, 888.0, 918.0, 1360.0};
    double v = 0;
    for (double f : freqs) v += std::sin(2 * pi * f * t) > 0 ? 1.0 : -1.0;
    return v / 6.0;
}

// A one-shot sample of seconds length from a generator of time; the last 5 ms fade out.
template <class Generator>
Sample oneShot(const char* name, double seconds, Generator generate) {
    Sample s;
    s.name = name;
    int n = (int)(seconds * sampleRate), fade = sampleRate / 200;
    for (int i = 0; i < n; ++i) {
        double v = generate((double)i / sampleRate);
        if (i > n - fade) v *= (double)(n - i) / fade;
        s.data.push_back(toPcm(v));
    }
    return s;
}

// A pitched-down sine body with a click on top: a 3.4 kHz ping and a burst of band-passed
// noise in its first milliseconds, the beater that lets the kick cut through the bass.
Sample makeKick() {
    double phase = 0;
    Noise noise{0x4B1C4u};
    Svf clickBand;
    return oneShot("kick", 0.32, [&](double t) {
        phase += 2 * pi * (48.0 + 95.0 * std::exp(-t * 35.0)) / sampleRate;
        double body = std::sin(phase) * std::exp(-t * 9.0) * std::fmin(1.0, t * 2000.0);
        clickBand.step(noise.next(), 3800.0, 0.7);
        double click = (1.6 * clickBand.band + 0.45 * std::sin(2 * pi * 3400 * t)) * std::exp(-t * 260.0);
        return 0.9 * std::tanh(2.0 * body) / std::tanh(2.0) + 0.8 * click;  // saturated: more body per peak
    });
}

// A drum body at 190 Hz that drops a little as it rings, under noise band-passed between about
// 1.5 and 6 kHz: the snare's crack without the fizz above it.
Sample makeSnare() {
    Noise noise{0x5AA2Eu};
    Svf low, high;
    double phase = 0;
    return oneShot("snare", 0.5, [&](double t) {
        high.step(noise.next(), 1500.0, 1.0);
        low.step(high.high, 6000.0, 1.0);
        phase += 2 * pi * (180.0 + 40.0 * std::exp(-t * 40.0)) / sampleRate;
        double body = (std::sin(phase) + 0.3 * std::sin(2.35 * phase)) * std::exp(-t * 16.0);
        double v = 1.1 * low.low * std::exp(-t * 11.0) + 0.8 * body;
        return 0.8 * std::tanh(1.6 * v) / std::tanh(1.6) * std::fmin(1.0, t * 4000.0);
    });
}

// Hats: the metal and noise through a band pass around centre, so they shimmer without the
// full-band hiss.
Sample makeHat(const char* name, double decay, double seconds, double centre, uint32_t seed) {
    Noise noise{seed};
    Svf filter;
    return oneShot(name, seconds, [&](double t) {
        filter.step(0.6 * noise.next() + 0.5 * metal(t), centre, 0.7);
        return 1.6 * filter.band * std::exp(-t * decay);
    });
}

Sample makeCrash() {
    Noise noise{0xC4A54u};
    Svf filter, top;
    double phase = 0;
    return oneShot("crash", 2.6, [&](double t) {
        filter.step(0.7 * noise.next() + 0.4 * metal(t * 1.07), 3000.0, 1.0);
        top.step(filter.high, 9000.0, 1.0);  // the wash rolled off above 9 kHz
        phase += 2 * pi * (38.0 + 24.0 * std::exp(-t * 8.0)) / sampleRate;
        double boom = 0.5 * std::sin(phase) * std::exp(-t * 5.0);
        double stick = 0.5 * filter.high * std::exp(-t * 120.0);  // the stick's bright first strike
        return (0.6 * top.low * std::exp(-t * 1.6) + stick + boom) * std::fmin(1.0, t * 500.0);
    });
}

// Noise through a band pass that sweeps from 300 Hz to 9 kHz while it swells: 3.2 s, 32 rows.
Sample makeRiser() {
    Noise noise{0x815E5u};
    Svf filter;
    return oneShot("riser", 3.2, [&](double t) {
        double u = t / 3.2;
        filter.step(noise.next(), 300.0 * std::pow(30.0, u), 0.5);
        double release = std::fmin(1.0, (3.2 - t) / 0.15);  // clears the way for the hit
        return 0.8 * filter.band * std::pow(u, 1.5) * release;
    });
}

// A ring at C-6 (c5Speed half the rate): partials close to harmonic, the high ones dying fast.
Sample makeRing(const char* name, double seconds, const double (*partials)[3], int count, double strike) {
    Noise noise{0xB311u};
    double f0 = 2 * middleC;
    Sample s = oneShot(name, seconds, [&](double t) {
        double v = strike * noise.next() * std::exp(-t * 400.0);
        for (int i = 0; i < count; ++i) {
            double f = f0 * partials[i][0];
            double phase = 0.9 * i * i;  // spread phases: the same colour with lower peaks
            if (f < 0.45 * sampleRate)
                v += partials[i][1] * std::sin(2 * pi * f * t + phase) * std::exp(-t * partials[i][2]);
        }
        return 0.7 * v * std::fmin(1.0, t * 3000.0);
    });
    s.c5Speed = sampleRate / 2;
    return s;
}

// A looped tone: the loop holds whole cycles of each detuned voice, so it repeats seamlessly.
// Before it, the attack rises, the level decays to the sustain and the timbre moves from the
// bright partials to the dark ones. C-5 sounds middle C.
struct ToneShape {
    const char* name;
    int period, cycles;
    std::vector<int> detune;
    double (*bright)(int);
    double (*dark)(int);
    int partials;
    int attack, decay;  // samples
    double sustain, level;
};

std::vector<double> wave(const ToneShape& shape, double (*partial)(int)) {
    int loop = shape.period * shape.cycles;
    std::vector<double> w(loop, 0.0);
    for (int d : shape.detune)
        for (int h = 1; h <= shape.partials; ++h) {
            double a = partial(h), phase0 = 0.37 * h * (d + 3);
            for (int i = 0; a != 0 && i < loop; ++i)
                w[i] += a * std::sin(2 * pi * (double)(h * (shape.cycles + d)) * i / loop + phase0);
        }
    double peak = 1e-9;
    for (double v : w) peak = std::fmax(peak, std::fabs(v));
    for (double& v : w) v /= peak;
    return w;
}

Sample makeTone(const ToneShape& shape) {
    Sample s;
    s.name = shape.name;
    int loop = shape.period * shape.cycles;
    s.c5Speed = (int)std::lround(middleC * shape.period);
    std::vector<double> bright = wave(shape, shape.bright), dark = wave(shape, shape.dark);
    int before = (shape.attack + shape.decay + loop - 1) / loop * loop;
    for (int i = 0; i < before + loop; ++i) {
        double env = shape.sustain, mix = 0;
        if (i < before) {
            double rise = i < shape.attack ? std::sin(0.5 * pi * i / shape.attack) : 1.0;
            double fall = i < shape.attack ? 1.0 : std::exp(-5.0 * (i - shape.attack) / std::fmax(1, shape.decay));
            env = rise * (shape.sustain + (1 - shape.sustain) * fall);
            mix = std::exp(-5.0 * i / std::fmax(1, shape.attack + shape.decay));
        }
        int k = i % loop;
        s.data.push_back(toPcm(shape.level * env * ((1 - mix) * dark[k] + mix * bright[k])));
    }
    s.loopBegin = before;
    s.loopEnd = before + loop;
    return s;
}

double sawPartial(int h) { return 1.0 / h; }
double darkBassPartial(int h) { return h == 1 ? 1.0 : 0.5 / std::pow(h, 2.4); }
// The pads: a bright saw whose fundamental and second partial are held back, so the bass owns
// the low end and the pads' colour sits in the upper mids.
double padPartial(int h) { return (h == 1 ? 0.35 : h == 2 ? 0.65 : 1.0) / h; }
double darkPadPartial(int h) { return (h == 1 ? 0.35 : h == 2 ? 0.65 : 1.0) / std::pow(h, 1.25); }
double leadPartial(int h) { return (h % 2 ? 1.0 : 0.55) / h; }
double softLeadPartial(int h) { return (h % 2 ? 1.0 : 0.5) / h * std::exp(-h * 0.06); }

}  // namespace

std::vector<Sample> makeSamples() {
    static const double bellPartials[][3] = {
        {1.0, 1.0, 1.1}, {2.0, 0.45, 1.8}, {3.0, 0.2, 3.0}, {4.07, 0.22, 4.5}, {5.43, 0.12, 6.0}, {6.8, 0.08, 8.0}};
    double pluckPartials[20][3];
    for (int h = 1; h <= 20; ++h) {
        pluckPartials[h - 1][0] = h;
        pluckPartials[h - 1][1] = 1.0 / h;
        pluckPartials[h - 1][2] = 7.0 + 2.2 * h;  // the upper partials close like a filter
    }
    std::vector<Sample> samples(sampleCount);
    samples[kick - 1] = makeKick();
    samples[snare - 1] = makeSnare();
    samples[hat - 1] = makeHat("hat", 30.0, 0.15, 7500.0, 0xBEEF01u);
    samples[openHat - 1] = makeHat("open hat", 7.0, 0.5, 6500.0, 0xBEEF02u);
    samples[bass - 1] = makeTone({"bass", 256, 16, {0}, sawPartial, darkBassPartial, 24, 48, 9000, 0.35, 0.85});
    samples[pad - 1] = makeTone({"pad", 256, 128, {-1, 0, 1}, padPartial, darkPadPartial, 24, 600, 20000, 0.8, 0.7});
    samples[lead - 1] = makeTone({"lead", 128, 64, {0}, leadPartial, softLeadPartial, 20, 300, 20000, 0.75, 0.75});
    samples[bell - 1] = makeRing("bell", 3.0, bellPartials, 6, 0.15);
    samples[pluck - 1] = makeRing("pluck", 0.45, pluckPartials, 20, 0.05);
    samples[crash - 1] = makeCrash();
    samples[riser - 1] = makeRiser();
    return samples;
}

double sampleSeconds(const Sample& s, int note) {
    if (s.loopBegin >= 0) return -1.0;
    return (double)s.data.size() / (s.c5Speed * std::pow(2.0, (note - 60) / 12.0));
}

}  // namespace music
