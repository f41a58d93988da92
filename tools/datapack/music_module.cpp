// The demo's soundtrack written as an Impulse Tracker module in instrument mode: the score
// (music_arrangement.cpp) packed into patterns, one instrument per sample with its envelopes
// (music_instruments.cpp), the synthesised samples (music_samples.cpp) after them. 150 BPM at
// speed 6 gives 0.1 s per row, which puts every scene change on a row: intro 0 s, temple
// 34.8 s, tunnel 55.6 s, credits 75 s, ending 130 s; the song stops at 188 s (the order list
// ends with the end-of-song marker, so players never loop). Each section starts a pattern.
#include "music_module.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "music_instruments.h"
#include "music_samples.h"
#include "music_score.h"

namespace {

using music::Cell;
using music::Song;

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

// An envelope in IT's form: flags, node count, loop and sustain loop, 25 nodes, a spare byte.
void putEnvelope(std::vector<uint8_t>& b, size_t at, const music::Envelope& e, bool filter) {
    int count = (int)std::min<size_t>(e.nodes.size(), 25);
    uint8_t flags = count >= 2 ? 1 : 0;
    if (flags && e.sustain >= 0) flags |= 4;
    if (filter) flags |= 128;
    b[at] = flags;
    b[at + 1] = (uint8_t)(count >= 2 ? count : 2);
    b[at + 4] = b[at + 5] = (uint8_t)(e.sustain >= 0 ? e.sustain : 0);
    for (int i = 0; i < count; ++i) {
        b[at + 6 + 3 * i] = (uint8_t)(int8_t)e.nodes[i].value;
        put16(b, at + 7 + 3 * i, e.nodes[i].tick);
    }
    if (count < 2) put16(b, at + 7 + 3, 1);  // an unused envelope still spans two nodes
}

// The 554-byte instrument header: every key plays the instrument's one sample at its pitch.
void putInstrument(std::vector<uint8_t>& b, size_t h, const music::Instrument& in, int index) {
    putText(b, h, "IMPI", 4);
    char dosName[] = "ins00.iti";
    dosName[3] = (char)('0' + index / 10);
    dosName[4] = (char)('0' + index % 10);
    putText(b, h + 4, dosName, 12);
    b[h + 0x11] = in.nna;
    put16(b, h + 0x14, in.fadeOut);
    b[h + 0x17] = 60;          // pitch-pan centre (no pitch-pan separation)
    b[h + 0x18] = 128;         // global volume
    b[h + 0x19] = 32 | 128;    // no default panning: the channels place the parts
    put16(b, h + 0x1C, 0x0214);
    b[h + 0x1E] = 1;
    putText(b, h + 0x20, in.name, 26);
    b[h + 0x3A] = (uint8_t)(in.cutoff >= 0 ? 128 | in.cutoff : 0);
    b[h + 0x3B] = (uint8_t)(in.resonance >= 0 ? 128 | in.resonance : 0);
    b[h + 0x3D] = 255;  // no MIDI program
    put16(b, h + 0x3E, 0xFFFF);
    for (int n = 0; n < 120; ++n) {
        b[h + 0x40 + 2 * n] = (uint8_t)n;
        b[h + 0x41 + 2 * n] = (uint8_t)in.sample;
    }
    putEnvelope(b, h + 0x130, in.volume, false);
    putEnvelope(b, h + 0x182, {}, false);
    putEnvelope(b, h + 0x1D4, in.filter, !in.filter.nodes.empty());
}

// Packs rows [from, from+count) in IT's channel-mask form (every field written explicitly).
std::vector<uint8_t> packPattern(const Song& s, int from, int count) {
    std::vector<uint8_t> data;
    for (int r = from; r < from + count; ++r) {
        for (int ch = 0; ch < music::channelCount; ++ch) {
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
    std::vector<music::Sample> samples = music::makeSamples();
    std::vector<music::Instrument> instruments = music::makeInstruments();
    // The mix: kick, snare, hat, open hat, bass, pad, lead, bell, pluck, crash, riser. The hats
    // sit well back: their band lies above where the melody speaks.
    const int sampleVolumes[] = {32, 34, 26, 21, 44, 40, 44, 42, 36, 42, 34};
    for (size_t i = 0; i < samples.size(); ++i) samples[i].globalVolume = sampleVolumes[i];

    Song song;
    music::compose(song);

    // Patterns: each section in 64-row patterns, the last one taking the remainder (64-127).
    std::vector<std::pair<int, int>> patternRows;
    for (int sec = 0; sec < 5; ++sec) {
        int start = music::sectionStart[sec], length = music::sectionStart[sec + 1] - start;
        int full = length / 64 - 1;
        for (int i = 0; i < full; ++i) patternRows.push_back({start + i * 64, 64});
        patternRows.push_back({start + full * 64, length - full * 64});
    }

    int orders = (int)patternRows.size() + 1;  // then the end-of-song marker
    int ordersPadded = orders + (orders & 1);
    int nSamples = (int)samples.size(), nInstruments = (int)instruments.size();
    int nPatterns = (int)patternRows.size();

    std::vector<uint8_t> file(0xC0, 0);
    putText(file, 0, "IMPM", 4);
    putText(file, 4, "quibe", 26);
    put16(file, 0x1E, 0x1004);  // row highlight: beat 4, bar 16
    put16(file, 0x20, ordersPadded);
    put16(file, 0x22, nInstruments);
    put16(file, 0x24, nSamples);
    put16(file, 0x26, nPatterns);
    put16(file, 0x28, 0x0214);
    put16(file, 0x2A, 0x0214);
    put16(file, 0x2C, 1 | 4 | 8);  // stereo, instruments, linear slides
    file[0x30] = 128;          // global volume
    file[0x31] = 128;          // mixing volume
    file[0x32] = 6;            // speed
    file[0x33] = 150;          // tempo
    file[0x34] = 128;          // stereo separation
    for (int ch = 0; ch < 64; ++ch) {
        file[0x40 + ch] = ch < music::channelCount ? music::channelPan[ch] : (uint8_t)(32 | 128);
        file[0x80 + ch] = 64;
    }
    for (int i = 0; i < nPatterns; ++i) file.push_back((uint8_t)i);
    for (int i = nPatterns; i < ordersPadded; ++i) file.push_back(255);

    size_t instrumentOffsetsAt = file.size(), sampleOffsetsAt = instrumentOffsetsAt + 4 * nInstruments;
    size_t patternOffsetsAt = sampleOffsetsAt + 4 * nSamples;
    file.resize(patternOffsetsAt + 4 * nPatterns, 0);

    for (int i = 0; i < nInstruments; ++i) {
        put32(file, instrumentOffsetsAt + 4 * i, (uint32_t)file.size());
        file.resize(file.size() + 554, 0);
        putInstrument(file, file.size() - 554, instruments[i], i + 1);
    }

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
        const music::Sample& s = samples[i];
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
