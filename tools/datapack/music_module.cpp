// The demo's soundtrack: an Impulse Tracker module composed and synthesised here, so the pack
// carries music of its own. 150 BPM at speed 6 gives 0.1 s per row, which puts every scene
// change on a row: intro 0 s, temple 34.8 s, tunnel 55.6 s, credits 75 s, ending 130 s, and the
// song stops at 188 s (the order list ends with the end-of-song marker, so players never loop).
#include "music_module.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int sampleRate = 22050;
constexpr double pi = 3.14159265358979323846;
constexpr double middleC = 261.6255653;

// Fixed-seed noise so every run writes the same bytes.
struct Noise {
    uint32_t state = 0x1234567u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return (double)(state >> 8) / 8388608.0 - 1.0;
    }
};

struct Sample {
    const char* name = "";
    std::vector<int16_t> data;
    int c5Speed = sampleRate;
    int loopBegin = -1, loopEnd = -1;
    int globalVolume = 64;
};

int16_t toPcm(double v) {
    double s = std::lround(v * 32767.0);
    return (int16_t)(s > 32767 ? 32767 : (s < -32767 ? -32767 : s));
}

Sample makeKick() {
    Sample s;
    s.name = "kick";
    int n = sampleRate * 45 / 100;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        double t = (double)i / sampleRate;
        double f = 45.0 + 110.0 * std::exp(-t * 30.0);
        phase += 2 * pi * f / sampleRate;
        double env = std::exp(-t * 7.0) * std::fmin(1.0, i / 40.0);
        double click = std::exp(-t * 300.0) * 0.3;
        s.data.push_back(toPcm(0.9 * (std::sin(phase) * env + click * std::sin(phase * 3))));
    }
    return s;
}

Sample makeSnare() {
    Sample s;
    s.name = "snare";
    Noise noise;
    int n = sampleRate * 30 / 100;
    double low = 0;
    for (int i = 0; i < n; ++i) {
        double t = (double)i / sampleRate;
        double x = noise.next();
        low += 0.45 * (x - low);  // soften the top of the noise
        double tone = std::sin(2 * pi * 185.0 * t) * std::exp(-t * 25.0);
        double v = 0.55 * low * std::exp(-t * 13.0) + 0.45 * tone;
        s.data.push_back(toPcm(0.85 * v * std::fmin(1.0, i / 20.0)));
    }
    return s;
}

Sample makeHat(double decay, int lengthMs, uint32_t seed, const char* name) {
    Sample s;
    s.name = name;
    Noise noise;
    noise.state = seed;
    int n = sampleRate * lengthMs / 1000;
    double prev = 0;
    for (int i = 0; i < n; ++i) {
        double t = (double)i / sampleRate;
        double x = noise.next();
        double high = x - prev;  // first difference: keeps the hiss, drops the body
        prev = x;
        s.data.push_back(toPcm(0.45 * high * std::exp(-t * decay)));
    }
    return s;
}

// A looped tone built from whole-number cycles over the loop, so the loop is seamless. The
// first loop length is an attack ramp; the loop repeats the second. C-5 sounds middle C.
Sample makeTone(const char* name, int period, int cycles, const std::vector<int>& detune,
                double (*partial)(int), int partials, int attackLength, double level) {
    Sample s;
    s.name = name;
    int loop = period * cycles;
    s.c5Speed = (int)std::lround(middleC * period);
    std::vector<double> wave(loop, 0.0);
    for (int d : detune) {
        for (int h = 1; h <= partials; ++h) {
            double a = partial(h);
            if (a == 0) continue;
            double phase0 = 0.37 * h * (d + 3);
            for (int i = 0; i < loop; ++i)
                wave[i] += a * std::sin(2 * pi * (double)(h * (cycles + d)) * i / loop + phase0);
        }
    }
    double peak = 0;
    for (double v : wave) peak = std::fmax(peak, std::fabs(v));
    int total = attackLength + loop;
    for (int i = 0; i < total; ++i) {
        double env = i < attackLength ? std::sin(0.5 * pi * i / attackLength) : 1.0;
        s.data.push_back(toPcm(level * env * wave[i % loop] / peak));
    }
    s.loopBegin = total - loop;
    s.loopEnd = total;
    if (s.loopBegin % loop) {  // keep the loop start on the waveform's own start
        s.loopBegin = attackLength - attackLength % loop + loop;
        s.loopEnd = s.loopBegin + loop;
        s.data.resize(s.loopEnd);
    }
    return s;
}

double sawPartial(int h) { return 1.0 / h; }
double padPartial(int h) { return 1.0 / std::pow(h, 1.6); }
double leadPartial(int h) { return (h % 2 ? 1.0 : 0.35) / h * std::exp(-h * 0.12); }

// Instrument numbers (sample mode: the sample number).
enum : uint8_t { kick = 1, snare, hat, openHat, bass, pad, lead };

struct Cell {
    uint8_t note = 0, sample = 0, volume = 255, command = 0, param = 0;
    bool hasNote = false;
};

constexpr int channels = 10;  // kick snare hat bass pad pad pad lead echo control
enum { chKick, chSnare, chHat, chBass, chPad0, chPad1, chPad2, chLead, chEcho, chControl };

struct Song {
    std::vector<std::vector<Cell>> rows;  // rows[row][channel]
    void note(int row, int ch, int n, int smp, int vol) {
        if (row < 0 || row >= (int)rows.size()) return;
        Cell& c = rows[row][ch];
        c.hasNote = true;
        c.note = (uint8_t)n;
        c.sample = (uint8_t)smp;
        c.volume = (uint8_t)vol;
    }
    void cut(int row, int ch) {
        if (row < 0 || row >= (int)rows.size()) return;
        rows[row][ch].hasNote = true;
        rows[row][ch].note = 254;
    }
    void effect(int row, int ch, uint8_t cmd, uint8_t param) {
        rows[row][ch].command = cmd;
        rows[row][ch].param = param;
    }
};

// Notes as IT numbers: 60 is middle C (C-5).
constexpr int A = 57, B = 59, C = 60, D = 62, E = 64, F = 65, G = 67;

struct Chord {
    int root;        // IT note of the root, in the octave above middle C's A below
    int third, fifth;
};
Chord minor(int r) { return {r, r + 3, r + 7}; }
Chord major(int r) { return {r, r + 4, r + 7}; }

const int sectionStart[] = {0, 348, 556, 750, 1300, 1880};

// The A natural minor scale, for melody steps between chord tones.
int scaleStep(int note, int steps) {
    static const int degrees[] = {0, 2, 3, 5, 7, 8, 10};  // from A
    int rel = note - A + 120;
    int oct = rel / 12, pc = rel % 12;
    int idx = 0;
    for (int i = 0; i < 7; ++i)
        if (degrees[i] <= pc) idx = i;
    idx += steps;
    while (idx < 0) { idx += 7; --oct; }
    while (idx >= 7) { idx -= 7; ++oct; }
    return A - 120 + oct * 12 + degrees[idx];
}

void padChord(Song& s, int row, const Chord& c, int vol) {
    s.note(row, chPad0, c.root, pad, vol);
    s.note(row, chPad1, c.third, pad, vol);
    s.note(row, chPad2, c.fifth, pad, vol);
}

// A melody over one chord: a rhythm from a small set and chord tones with scale passing notes.
void melodyBar(Song& s, int row, int length, const Chord& c, Noise& rng, int vol, int variant) {
    static const int rhythms[4][8] = {
        {0, 4, 6, 8, 12, -1, -1, -1},
        {0, 3, 6, 10, 12, 14, -1, -1},
        {0, 6, 8, 10, -1, -1, -1, -1},
        {0, 2, 4, 8, 11, 14, -1, -1},
    };
    const int* r = rhythms[variant & 3];
    int tones[] = {c.root + 12, c.third + 12, c.fifth + 12, c.root + 24};
    int last = tones[(int)((rng.next() + 1) * 1.99)];
    for (int i = 0; i < 8 && r[i] >= 0 && r[i] * length / 16 < length; ++i) {
        int at = row + r[i] * length / 16;
        int n;
        if (i == 0) {
            n = tones[(int)((rng.next() + 1) * 1.99)];
        } else {
            int step = (int)std::lround(rng.next() * 2.0);
            n = scaleStep(last, step == 0 ? 1 : step);
        }
        if (n > 88) n -= 12;
        if (n < 69) n += 12;
        s.note(at, chLead, n, lead, vol);
        s.note(at + 3, chEcho, n, lead, vol / 3);  // a soft echo three rows behind
        last = n;
    }
    // The lead's sample loops, so the phrase ends with a cut unless the next one begins there.
    if (row + length < (int)s.rows.size() && !s.rows[row + length][chLead].hasNote)
        s.cut(row + length, chLead);
    if (row + length + 3 < (int)s.rows.size() && !s.rows[row + length + 3][chEcho].hasNote)
        s.cut(row + length + 3, chEcho);
}

void drums(Song& s, int row, int bars, int barLength, int style, int sectionBar0) {
    for (int b = 0; b < bars; ++b) {
        int r0 = row + b * barLength;
        bool fill = ((sectionBar0 + b) % 8) == 7;
        for (int i = 0; i < barLength; ++i) {
            int r = r0 + i;
            switch (style) {
            case 1:  // intro groove: kick on beats, snare on 2 and 4, eighth hats
                if (i % 4 == 0) s.note(r, chKick, C, kick, 56);
                if (i % 8 == 4) s.note(r, chSnare, C, snare, 40);
                if (i % 2 == 0) s.note(r, chHat, C, hat, i % 4 ? 22 : 30);
                break;
            case 2:  // temple: half-time, sparse and wide
                if (i == 0) s.note(r, chKick, C, kick, 52);
                if (i == 10 && b % 2) s.note(r, chKick, C, kick, 36);
                if (i == 8) s.note(r, chSnare, C - 5, snare, 34);
                if (i % 4 == 2) s.note(r, chHat, C, openHat, 16);
                break;
            case 3:  // tunnel: four on the floor, sixteenth hats, offbeat open hats
                if (i % 4 == 0) s.note(r, chKick, C, kick, 60);
                if (i % 8 == 4) s.note(r, chSnare, C, snare, 44);
                if (i % 4 == 2) s.note(r, chHat, C, openHat, 30);
                else s.note(r, chHat, C, hat, i % 2 ? 18 : 26);
                if (fill && i >= 12) s.note(r, chSnare, C + (i - 12), snare, 28 + 4 * (i - 12));
                break;
            case 4:  // credits: steady backbeat with syncopated kick
                if (i == 0 || i == 6 || i == 10) s.note(r, chKick, C, kick, 56);
                if (i % 8 == 4) s.note(r, chSnare, C, snare, 42);
                if (i % 2 == 0) s.note(r, chHat, C, i % 4 == 2 ? openHat : hat, 24);
                if (fill && i >= 12) s.note(r, chSnare, C, snare, 26 + 5 * (i - 12));
                break;
            case 5:  // ending: kick and soft hats only
                if (i == 0 || i == 8) s.note(r, chKick, C, kick, 48);
                if (i % 4 == 2) s.note(r, chHat, C, hat, 18);
                break;
            }
            if (fill && style == 1 && i >= 12) s.note(r, chSnare, C, snare, 24 + 5 * (i - 12));
        }
    }
}

void compose(Song& s) {
    s.rows.assign(sectionStart[5], std::vector<Cell>(channels));
    Noise rng;
    rng.state = 0xC0FFEEu;

    // Intro, 348 rows: Am F C G at 16 rows a chord; pads first, then hats and bass, then the
    // full groove; the last 12 rows are a snare roll into the temple.
    {
        const Chord prog[] = {minor(A), major(F), major(C), major(G - 12)};
        int start = sectionStart[0];
        for (int k = 0; k * 16 < 336; ++k) {
            int r = start + k * 16;
            const Chord& c = prog[k % 4];
            int vol = std::min(48, 30 + k * 2);
            padChord(s, r, c, vol);
            if (k >= 4) {
                for (int i = 0; i < 16; i += (k >= 12 ? 2 : 4))
                    s.note(r + i, chBass, c.root % 12 + 36, bass, i == 0 ? 52 : 40);
            }
            if (k >= 8) drums(s, r, 1, 16, 1, k);
            else if (k >= 2)
                for (int i = 0; i < 16; i += 4) s.note(r + i + 2, chHat, C, hat, 10 + k * 2);
            if (k >= 14 && k % 2 == 1) melodyBar(s, r, 16, c, rng, 26, k);
        }
        for (int i = 0; i < 12; ++i) s.note(start + 336 + i, chSnare, C, snare, 20 + i * 3);
        s.note(start + 336, chKick, C, kick, 56);
        s.note(start + 336, chBass, E - 24, bass, 48);
        padChord(s, start + 336, major(E - 12), 44);
    }

    // Temple, 208 rows: calm and majestic, 32 rows a chord, half-time drums, a slow melody.
    {
        const Chord prog[] = {minor(A), major(F), major(C), major(G - 12),
                              minor(D), minor(A), major(F), {E - 12, E - 12 + 4, E - 12 + 7}};
        int start = sectionStart[1];
        for (int k = 0; k * 16 < 208; ++k) {
            int r = start + k * 16;
            const Chord& c = prog[(k / 2) % 8];
            if (k % 2 == 0) {
                padChord(s, r, c, 50);
                s.note(r, chBass, c.root % 12 + 36, bass, 54);
                s.note(r + 24, chBass, c.root % 12 + 48, bass, 36);
            }
            drums(s, r, 1, 16, 2, k);
            if (k % 2 == 0) {
                int n = c.fifth + 12 > 84 ? c.fifth : c.fifth + 12;
                s.note(r, chLead, n, lead, 30);
                s.note(r + 12, chLead, scaleStep(n, -1), lead, 26);
                s.note(r + 16, chLead, c.third + 12, lead, 28);
                s.note(r + 28, chLead, scaleStep(c.third + 12, 1), lead, 22);
            }
        }
    }

    // Tunnel, 194 rows: driving, 8 rows a chord on Am G F E, eighth-note bass with octave jumps.
    {
        const Chord prog[] = {minor(A), major(G - 12), major(F), major(E - 12)};
        int start = sectionStart[2];
        int length = sectionStart[3] - start;
        for (int k = 0; k * 16 < length; ++k) {
            int r = start + k * 16;
            int bar = std::min(16, length - k * 16);
            drums(s, r, 1, bar, 3, k);
            for (int half = 0; half < 2 && half * 8 < bar; ++half) {
                const Chord& c = prog[(k * 2 + half) % 4];
                int rr = r + half * 8;
                padChord(s, rr, c, 34);
                for (int i = 0; i < 8 && half * 8 + i < bar; i += 2)
                    s.note(rr + i, chBass, c.root % 12 + (i % 4 == 2 ? 48 : 36), bass, 50);
                if (k >= 4) {
                    int arp[] = {c.root + 12, c.third + 12, c.fifth + 12, c.third + 12};
                    for (int i = 0; i < 8 && half * 8 + i < bar; i += 2)
                        s.note(rr + i, chLead, arp[i / 2], lead, 20 + (k % 2) * 4);
                }
            }
        }
    }

    // Credits, 550 rows: the melodic part, F G Em Am at 16 rows a chord, lead with echo.
    {
        const Chord prog[] = {major(F), major(G - 12), minor(E - 12), minor(A),
                              major(F), major(G - 12), major(C), major(E - 12)};
        int start = sectionStart[3];
        int length = sectionStart[4] - start;
        for (int k = 0; k * 16 < length; ++k) {
            int r = start + k * 16;
            int bar = std::min(16, length - k * 16);
            const Chord& c = prog[k % 8];
            padChord(s, r, c, k % 16 < 8 ? 40 : 46);
            static const int bassLine[] = {0, 0, 12, 0, 7, 0, 12, 10};
            for (int i = 0; i < 8 && i * 2 < bar; ++i)
                s.note(r + i * 2, chBass, c.root % 12 + 36 + bassLine[i] - (c.root % 12 > 7 ? 12 : 0),
                       bass, i == 0 ? 54 : 42);
            if (k >= 2) drums(s, r, 1, bar, 4, k);
            else s.note(r, chKick, C, kick, 48);
            if (bar == 16) melodyBar(s, r, 16, c, rng, 40, (k / 2) % 4 + (k >= 16 ? 1 : 0));
        }
    }

    // Ending, 580 rows: the intro's chords slowing to 32 rows each, instruments dropping out,
    // then the global volume falls to silence over the last 20 seconds.
    {
        const Chord prog[] = {minor(A), major(F), major(C), major(G - 12)};
        int start = sectionStart[4];
        int length = sectionStart[5] - start;
        for (int k = 0; k * 32 < length; ++k) {
            int r = start + k * 32;
            const Chord& c = prog[k % 4];
            if (k == (length - 1) / 32) {
                padChord(s, r, minor(A), 44);
                s.note(r, chBass, 33, bass, 44);
                continue;
            }
            padChord(s, r, c, 44);
            s.note(r, chBass, c.root % 12 + 36, bass, 48);
            s.note(r + 16, chBass, c.root % 12 + 36, bass, 36);
            if (k < 10) drums(s, r, 2, 16, 5, k * 2);
            if (k < 12 && k % 2 == 0) {
                melodyBar(s, r, 32, c, rng, 30 - k, k);
            }
        }
        int fadeFrom = sectionStart[5] - 200;
        for (int r = fadeFrom; r < sectionStart[5]; r += 4) {
            int gv = 128 * (sectionStart[5] - 4 - r) / 200;
            s.effect(r, chControl, 22 /* V: global volume */, (uint8_t)std::max(0, gv));
        }
    }
    s.effect(0, chControl, 1 /* A: speed */, 6);
    s.effect(1, chControl, 20 /* T: tempo */, 150);
}

void put16(std::vector<uint8_t>& b, size_t at, int v) {
    b[at] = (uint8_t)(v & 255);
    b[at + 1] = (uint8_t)((v >> 8) & 255);
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (uint8_t)(v >> (8 * i));
}
void putText(std::vector<uint8_t>& b, size_t at, const char* s, size_t max) {
    for (size_t i = 0; i < max && s[i]; ++i) b[at + i] = (uint8_t)s[i];
}

// Packs rows [from, from+count) in IT's channel-mask form (every field written explicitly).
std::vector<uint8_t> packPattern(const Song& s, int from, int count) {
    std::vector<uint8_t> data;
    for (int r = from; r < from + count; ++r) {
        for (int ch = 0; ch < channels; ++ch) {
            const Cell& c = s.rows[r][ch];
            uint8_t mask = 0;
            if (c.hasNote) mask |= 1;
            if (c.hasNote && c.note < 120) mask |= 2;
            if (c.volume <= 64 && c.hasNote && c.note < 120) mask |= 4;
            if (c.command) mask |= 8;
            if (!mask) continue;
            data.push_back((uint8_t)((ch + 1) | 128));
            data.push_back(mask);
            if (mask & 1) data.push_back(c.note);
            if (mask & 2) data.push_back(c.sample);
            if (mask & 4) data.push_back(c.volume);
            if (mask & 8) {
                data.push_back(c.command);
                data.push_back(c.param);
            }
        }
        data.push_back(0);
    }
    std::vector<uint8_t> pattern(8, 0);
    put16(pattern, 0, (int)data.size());
    put16(pattern, 2, count);
    pattern.insert(pattern.end(), data.begin(), data.end());
    return pattern;
}

}  // namespace

bool writeMusicModule(const char* path) {
    std::vector<Sample> samples;
    samples.push_back(makeKick());
    samples.push_back(makeSnare());
    samples.push_back(makeHat(45.0, 90, 0xBEEF01u, "hat"));
    samples.push_back(makeHat(9.0, 400, 0xBEEF02u, "open hat"));
    samples.push_back(makeTone("bass", 256, 16, {0}, sawPartial, 14, 64, 0.8));
    samples.push_back(makeTone("pad", 256, 128, {-1, 0, 1}, padPartial, 10, sampleRate / 2, 0.7));
    samples.push_back(makeTone("lead", 128, 32, {0}, leadPartial, 12, 200, 0.7));
    const int sampleVolumes[] = {64, 50, 40, 34, 52, 26, 34};
    for (size_t i = 0; i < samples.size(); ++i) samples[i].globalVolume = sampleVolumes[i];

    Song song;
    compose(song);

    // Patterns: each section in 64-row patterns, the last one taking the remainder (64-127).
    std::vector<std::pair<int, int>> patternRows;
    for (int sec = 0; sec < 5; ++sec) {
        int start = sectionStart[sec], length = sectionStart[sec + 1] - start;
        int full = length / 64 - 1;
        for (int i = 0; i < full; ++i) patternRows.push_back({start + i * 64, 64});
        patternRows.push_back({start + full * 64, length - full * 64});
    }

    int orders = (int)patternRows.size() + 1;  // then the end-of-song marker
    int ordersPadded = orders + (orders & 1);
    int instruments = 0;
    int nSamples = (int)samples.size();
    int nPatterns = (int)patternRows.size();

    std::vector<uint8_t> file(0xC0, 0);
    putText(file, 0, "IMPM", 4);
    putText(file, 4, "quibe", 26);
    put16(file, 0x1E, 0x1004);  // row highlight: beat 4, bar 16
    put16(file, 0x20, ordersPadded);
    put16(file, 0x22, instruments);
    put16(file, 0x24, nSamples);
    put16(file, 0x26, nPatterns);
    put16(file, 0x28, 0x0214);
    put16(file, 0x2A, 0x0214);
    put16(file, 0x2C, 1 | 8);  // stereo, linear slides, sample mode
    file[0x30] = 128;          // global volume
    file[0x31] = 96;           // mixing volume
    file[0x32] = 6;            // speed
    file[0x33] = 150;          // tempo
    file[0x34] = 128;          // stereo separation
    const int pans[channels] = {32, 28, 40, 32, 16, 32, 48, 38, 24, 32};
    for (int ch = 0; ch < 64; ++ch) {
        file[0x40 + ch] = ch < channels ? (uint8_t)pans[ch] : (uint8_t)(32 | 128);
        file[0x80 + ch] = 64;
    }
    for (int i = 0; i < nPatterns; ++i) file.push_back((uint8_t)i);
    for (int i = nPatterns; i < ordersPadded; ++i) file.push_back(255);

    size_t sampleOffsetsAt = file.size();
    file.resize(file.size() + 4 * (nSamples + nPatterns), 0);
    size_t patternOffsetsAt = sampleOffsetsAt + 4 * nSamples;

    std::vector<size_t> sampleHeaders;
    for (int i = 0; i < nSamples; ++i) {
        put32(file, sampleOffsetsAt + 4 * i, (uint32_t)file.size());
        sampleHeaders.push_back(file.size());
        file.resize(file.size() + 0x50, 0);
    }
    for (int i = 0; i < nPatterns; ++i) {
        put32(file, patternOffsetsAt + 4 * i, (uint32_t)file.size());
        std::vector<uint8_t> p = packPattern(song, patternRows[i].first, patternRows[i].second);
        file.insert(file.end(), p.begin(), p.end());
    }
    for (int i = 0; i < nSamples; ++i) {
        const Sample& s = samples[i];
        size_t h = sampleHeaders[i];
        putText(file, h, "IMPS", 4);
        char dosName[] = "smp00.raw";
        dosName[3] = (char)('0' + (i + 1) / 10);
        dosName[4] = (char)('0' + (i + 1) % 10);
        putText(file, h + 4, dosName, 12);
        file[h + 0x11] = (uint8_t)s.globalVolume;
        uint8_t flags = 1 | 2;  // sample present, 16-bit
        if (s.loopBegin >= 0) flags |= 16;
        file[h + 0x12] = flags;
        file[h + 0x13] = 64;
        putText(file, h + 0x14, s.name, 26);
        file[h + 0x2E] = 1;  // signed samples
        file[h + 0x2F] = 32;
        put32(file, h + 0x30, (uint32_t)s.data.size());
        put32(file, h + 0x34, (uint32_t)(s.loopBegin >= 0 ? s.loopBegin : 0));
        put32(file, h + 0x38, (uint32_t)(s.loopBegin >= 0 ? s.loopEnd : 0));
        put32(file, h + 0x3C, (uint32_t)s.c5Speed);
        put32(file, h + 0x48, (uint32_t)file.size());
        for (int16_t v : s.data) {
            file.push_back((uint8_t)(v & 255));
            file.push_back((uint8_t)(((uint16_t)v) >> 8));
        }
    }

    std::FILE* out = std::fopen(path, "wb");
    if (!out) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok;
}
