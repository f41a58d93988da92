// The piece, section by section, in step with the picture: a layered intro in A minor with an
// impact on its white flash, a half-time temple rung by a bell and lifted by a riser into the
// cut, a driving tunnel under a plucked arpeggio, the credits' song (a hook phrased A A' A B,
// a break with a bell counter-melody, then a lift), and an ending that slows, drops its drums
// and resolves E major to A minor, ringing out inside the song's 188 s. Every section writes
// inside its own rows only, and begins by stopping what the previous one left sounding.
#include <algorithm>

#include "music_samples.h"
#include "music_score.h"

namespace music {
namespace {

// Motifs over one bar (sixteen steps). hookA rises to its peak on beat three and steps down;
// hookB answers and rests before the bar ends; hookC climbs, hookD falls back and breathes.
const Motif hookA = {{0, 4, chordTone, 0, 8}, {4, 2, chordTone, -1, 0}, {6, 2, chordTone, 1, 0},
                     {8, 6, chordTone, 1, 6}, {14, 2, passing, -1, 0}};
const Motif hookAv = {{0, 2, chordTone, 0, 8}, {2, 2, passing, 1, 0}, {4, 2, chordTone, -1, 0},
                      {6, 2, chordTone, 1, 0}, {8, 6, chordTone, 1, 6}, {14, 2, passing, -1, 0}};
const Motif hookB = {{0, 6, chordTone, 0, 8}, {6, 2, chordTone, -1, 0}, {8, 4, chordTone, 1, 4}, {12, 4, rest, 0, 0}};
const Motif hookC = {{0, 4, chordTone, 1, 8}, {4, 4, chordTone, 1, 2}, {8, 4, chordTone, -1, 6}, {12, 4, chordTone, -1, 0}};
const Motif hookD = {{0, 6, chordTone, 0, 8}, {6, 2, passing, -1, 0}, {8, 6, chordTone, -1, 4}, {14, 2, rest, 0, 0}};
const Motif bellCall = {{0, 6, chordTone, 0, 8}, {6, 2, chordTone, 1, 0}, {8, 6, chordTone, -1, 4}};
const Motif counterA = {{0, 8, chordTone, 0, 6}, {8, 8, chordTone, -1, 0}};
const Motif counterB = {{0, 8, chordTone, 1, 6}, {8, 8, chordTone, 0, 0}};
const Motif held = {{0, 16, chordTone, 0, 6}};

// The tonal channels a new section silences on its first row unless it plays there.
const int tonalChannels[] = {chBass, chPad0, chPad1, chPad2, chLead, chEcho, chCounter, chArp, chRiser};

// Each section's level, as the module's global volume (0..128): the arc of the piece, a quiet
// temple, the tunnel at full strength, the credits just under it and an ending that recedes.
const int sectionLevel[] = {128, 100, 128, 120, 108};

void beginSection(Song& s, int section, PadVoices& pads) {
    s.limit = sectionStart[section + 1];
    pads.fresh = true;
    if (section == 0) return;  // the intro plays at the module's initial global volume, 128
    s.effect(sectionStart[section], chControl, fxGlobalVolume, (uint8_t)sectionLevel[section]);
    for (int ch : tonalChannels) s.release(sectionStart[section], ch);
}

// The bass note of a chord between E-3 and D#-4, above the kick's body.
int bassRoot(const Chord& c) { return 52 + ((c.root % 12) - 4 + 12) % 12 - 12; }

void intro(Song& s, PadVoices& pads) {
    beginSection(s, 0, pads);
    const Chord prog[] = {minor(A), major(F), major(C), major(G)};
    Line lead{chLead, music::lead, 64, 84, 76, 40, 0x34, chEcho};
    const Motif* phrase[] = {&hookA, &hookB, &hookA, &hookB, &hookA, &hookB, &hookC, &hookD};
    for (int k = 0; k < 21; ++k) {
        int r = k * 16;
        const Chord& c = prog[k % 4];
        padChord(s, r, c, pads, std::min(46, 28 + 2 * k));
        if (k >= 4)
            for (int i = 0; i < 16; i += (k >= 12 ? 2 : 4))
                s.note(r + i, chBass, bassRoot(c) + (i % 8 == 6 ? 12 : 0), bass, i == 0 ? 52 : 42);
        if (k >= 8) drumBar(s, r, 16, introGroove, k % 4 == 3, 60);
        else if (k >= 2)
            for (int i = 2; i < 16; i += 4) s.note(r + i, chHat, C, hat, 40 + 3 * k);
        if (k >= 12 && k < 20) playMotif(s, lead, *phrase[k - 12], r, 16, c);
        if (k == 20) playMotif(s, lead, held, r, 12, c);
    }
    impact(s, 52, 60, 3);  // the white flash peaks at 5.25 s: row 52 and three ticks
    // A three-beat snare roll over E major, the dominant that opens onto the temple's A minor;
    // its last row is left free so the cut's crash lands clean.
    for (int i = 0; i < 11; ++i) s.note(336 + i, chSnare, C, snare, 26 + i * 3);
    s.cut(347, chSnare);
    s.note(336, chKick, C, kick, 60);
    s.note(336, chBass, bassRoot(major(E)), bass, 52);
    padChord(s, 336, major(E), pads, 44);
}

void temple(Song& s, PadVoices& pads) {
    beginSection(s, 1, pads);
    const int start = sectionStart[1];
    const Chord prog[] = {minor(A), major(F), major(C), major(G), minor(D), major(E)};
    Line bellLine{chLead, music::bell, 69, 84, 76, 44, 0, -1};
    impact(s, start, 46);
    for (int k = 0; k < 6; ++k) {
        int r = start + k * 32;
        const Chord& c = prog[k];
        padChord(s, r, c, pads, 46);
        s.note(r, chBass, bassRoot(c), bass, 54);
        s.note(r + 24, chBass, bassRoot(c) + 12, bass, 38);
        if (k < 5) playMotif(s, bellLine, bellCall, r, 32, c);
        else s.note(r, chLead, bellLine.last = 80, music::bell, 40);  // a G# rings over E major
    }
    s.release(start + 192, chLead);  // the last bell has faded before the riser's top
    for (int b = 0; b < 13; ++b) drumBar(s, start + b * 16, 16, halfTime, b == 12, 58);
    s.note(start + 176, chRiser, C, riser, 44);  // 32 rows, ending on the tunnel's first row
}

void tunnel(Song& s, PadVoices& pads) {
    beginSection(s, 2, pads);
    const int start = sectionStart[2], bars = start + 2;  // a two-row pickup, then twelve whole bars
    const Chord prog[] = {minor(A), major(G), major(F), major(E)};
    impact(s, start, 54);
    padChord(s, start, prog[0], pads, 36);
    s.note(start, chBass, bassRoot(prog[0]), bass, 54);
    s.note(start + 1, chSnare, C, snare, 40);
    for (int b = 0; b < 12; ++b) {
        int r = bars + b * 16;
        drumBar(s, r, 16, drive, b == 7 || b == 11, 60);
        for (int half = 0; half < 2; ++half) {
            const Chord& c = prog[half + 2 * (b % 2)];
            int rr = r + half * 8;
            padChord(s, rr, c, pads, 36);
            for (int i = 0; i < 8; i += 2) s.note(rr + i, chBass, bassRoot(c) + (i % 4 == 2 ? 12 : 0), bass, i ? 46 : 54);
            // The plucked arpeggio: root, third, fifth and octave, bouncing between the sides,
            // its level opening up over the first four bars.
            int root = 57 + ((c.root % 12) - 9 + 12) % 12;
            int third = root + (c.third - c.root), fifth = root + 7;
            const int arp[8] = {root, third, fifth, root + 12, fifth, third, root + 12, fifth};
            for (int i = 0; i < 8; ++i) {
                s.note(rr + i, chArp, arp[i], pluck, std::min(40, 22 + 5 * b) + (i % 4 == 0 ? 4 : 0));
                s.effect(rr + i, chArp, fxPanning, i % 2 ? 0xC8 : 0x38);
            }
        }
    }
    // The tunnel's flash at 56.5 s: the hats hold their breath for a beat, then the hit.
    for (int r = 562; r < 567; ++r) s.clear(r, chHat);
    s.cut(562, chHat);
    impact(s, 565, 60);
}

void credits(Song& s, PadVoices& pads) {
    beginSection(s, 3, pads);
    const int start = sectionStart[3], bars = start + 6;  // a six-row pickup, then 34 whole bars
    const Chord prog[] = {major(F), major(G), minor(E), minor(A), major(F), major(G), major(C), major(E)};
    Line lead{chLead, music::lead, 64, 84, 72, 44, 0x34, chEcho};
    Line counter{chCounter, music::bell, 57, 76, 64, 40, 0, -1};
    lead.glide = 0x30;
    impact(s, start, 54);
    padChord(s, start, prog[0], pads, 40);
    s.note(start, chBass, bassRoot(prog[0]), bass, 54);
    for (int i = 2; i < 6; ++i) s.note(start + i, chSnare, C, snare, 30 + 6 * i);
    const Motif* phrases[] = {&hookA, &hookB, &hookA, &hookB, &hookA, &hookB, &hookC, &hookD};
    for (int b = 0; b < 34; ++b) {
        int r = bars + b * 16;
        const Chord& c = prog[b % 8];
        bool breakBar = b >= 16 && b < 20, lift = b >= 20 && b < 28;
        padChord(s, r, c, pads, lift ? 46 : 40);
        static const int bassLine[] = {0, 0, 12, 0, 7, 0, 12, 7};
        for (int i = 0; i < 8; ++i)
            if (!breakBar || i % 4 == 0) s.note(r + i * 2, chBass, bassRoot(c) + bassLine[i], bass, i == 0 ? 54 : 42);
        if (!breakBar) drumBar(s, r, 16, backbeat, b % 8 == 7 || b == 33, lift ? 64 : 60);
        if (b == 18 || b == 19) drumBar(s, r, 16, sparse, b == 19, 44);
        if (b == 19) s.note(r - 16, chRiser, C, riser, 40);  // two bars of swell into the lift
        if (b == 20) impact(s, r, 52);
        if (!breakBar) {
            int phraseBar = b < 16 ? b % 8 : b < 28 ? b - 20 : b - 28 + 2;
            const Motif* m = phrases[phraseBar];
            if (m == &hookA && (b == 8 || b == 24 || b == 30)) m = &hookAv;  // the second time, ornamented
            lead.volume = lift ? 48 : 44;
            playMotif(s, lead, *m, r, 16, c);
        }
        if (b == 16) s.release(r, chLead);
        if (b >= 16) {
            counter.volume = breakBar ? 46 : 36;
            playMotif(s, counter, b % 2 ? counterB : counterA, r, 16, c);
        }
    }
}

void ending(Song& s, PadVoices& pads) {
    beginSection(s, 4, pads);
    const int start = sectionStart[4], end = sectionStart[5];
    const Chord prog[] = {minor(A), major(F), major(C), major(G), minor(A), major(F), minor(D), major(E)};
    const Motif* phrase[] = {&hookA, &hookB, &hookA, &hookB, &hookA, &hookB, &hookC, &hookD};
    Line lead{chLead, music::lead, 64, 84, 76, 40, 0x24, chEcho};
    lead.glide = 0x18;
    Line counter{chCounter, music::bell, 57, 76, 69, 36, 0, -1};
    impact(s, start, 46);
    for (int k = 0; k < 16; ++k) {
        int r = start + k * 32;
        const Chord& c = prog[k % 8];
        padChord(s, r, c, pads, 44);
        s.note(r, chBass, bassRoot(c), bass, 50 - k);
        s.note(r + 16, chBass, bassRoot(c), bass, 38 - k);
        if (k < 12) {  // the drums thin out, then stop three chords before the cadence
            drumBar(s, r, 16, sparse, false, k < 8 ? 58 : 46);
            drumBar(s, r + 16, 16, sparse, k == 7, k < 8 ? 58 : 46);
        }
        if (k < 8) {
            lead.volume = 40 - k;
            playMotif(s, lead, *phrase[k], r, 32, c);
        } else {
            playMotif(s, counter, k % 2 ? counterB : counterA, r, 32, c);
        }
    }
    // The cadence lands on A minor at 181.2 s: pads, bass and a bell A, struck again as it
    // fades, so the chord still rings in the last seconds.
    const int last = start + 512;
    pads.fresh = true;
    padChord(s, last, minor(A), pads, 48);
    s.note(last, chBass, bassRoot(minor(A)), bass, 46);
    s.note(last, chCounter, 57, music::bell, 44);
    s.note(last + 32, chCounter, 64, music::bell, 36);
    for (int r = end - 50, step = 0; r < end; r += 5, ++step)
        s.effect(r, chControl, fxGlobalVolume, (uint8_t)(128 - 8 * step));
}

}  // namespace

void compose(Song& s) {
    s.rows.assign(sectionStart[5], std::vector<Cell>(channelCount));
    PadVoices pads;
    intro(s, pads);
    temple(s, pads);
    tunnel(s, pads);
    credits(s, pads);
    ending(s, pads);
    s.limit = sectionStart[5];
    // Where the kick strikes, the bass gives way and the snare sits a tick (17 ms) behind it,
    // laid back, so their attacks do not pile up into one peak.
    for (auto& row : s.rows) {
        if (!row[chKick].hasNote) continue;
        Cell& b = row[chBass];
        if (b.hasNote && b.note < 120) b.volume = (uint8_t)(b.volume * 3 / 4);
        Cell& sn = row[chSnare];
        if (sn.hasNote && sn.note < 120 && !sn.command && !row[chKick].command) sn.command = fxSpecial, sn.param = 0xD1;
    }
    s.effect(0, chControl, fxSpeed, 6);
    s.effect(1, chControl, fxTempo, 150);
}

}  // namespace music
