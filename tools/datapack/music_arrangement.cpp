// The piece, section by section, in step with the picture: a layered intro in A minor that
// hints at the hook, with an impact on its white flash; a quiet half-time temple whose bell
// greets each word and a riser lifts into the cut; the driving tunnel, the loudest part, under
// a plucked arpeggio that climbs an octave for the flight; the credits' song (verse, varied
// verse, a break with a bell counter-melody, a B phrase over new chords, the climax); and an
// ending that recalls the hook slowly, drops its drums, resolves E major to A minor and fades
// to silence inside the song's 188 s. Every section writes inside its own rows only, and
// begins by releasing what the previous one left sounding.
#include <algorithm>

#include "music_samples.h"
#include "music_score.h"

namespace music {
namespace {

// Motifs over one bar (sixteen steps). hookA rises to its peak on beat three and steps down;
// hookB answers and rests before the bar ends; hookC climbs, hookD falls back and breathes;
// hookE pushes across the beat, hookF starts late and answers it, hookG runs up into a long
// note, hookH runs in eighths, hookI climbs to the peak and holds it, hookJ closes a phrase.
const Motif hookA = {{0, 4, chordTone, 0, 8}, {4, 2, chordTone, -1, 0}, {6, 2, chordTone, 1, 0},
                     {8, 6, chordTone, 1, 6}, {14, 2, passing, -1, 0}};
const Motif hookAv = {{0, 2, chordTone, 0, 8}, {2, 2, passing, 1, 0}, {4, 2, chordTone, -1, 0},
                      {6, 2, chordTone, 1, 0}, {8, 6, chordTone, 1, 6}, {14, 2, passing, -1, 0}};
const Motif hookB = {{0, 6, chordTone, 0, 8}, {6, 2, chordTone, -1, 0}, {8, 4, chordTone, 1, 4}, {12, 4, rest, 0, 0}};
const Motif hookC = {{0, 4, chordTone, 1, 8}, {4, 4, chordTone, 1, 2}, {8, 4, chordTone, -1, 6}, {12, 4, chordTone, -1, 0}};
const Motif hookD = {{0, 6, chordTone, 0, 8}, {6, 2, passing, -1, 0}, {8, 4, chordTone, -1, 4}, {12, 2, passing, -1, 0},
                     {14, 2, rest, 0, 0}};
const Motif hookE = {{0, 3, chordTone, 0, 8}, {3, 3, chordTone, 1, 4}, {6, 4, passing, 1, 2}, {10, 6, chordTone, 1, 6}};
const Motif hookF = {{0, 2, rest, 0, 0}, {2, 2, chordTone, -1, 4}, {4, 4, passing, -1, 0}, {8, 2, chordTone, 1, 6},
                     {10, 6, chordTone, 0, 2}};
const Motif hookG = {{0, 2, passing, 1, 6}, {2, 2, chordTone, 1, 2}, {4, 12, chordTone, 1, 8}};
const Motif hookH = {{0, 2, chordTone, 0, 8}, {2, 2, passing, 1, 0}, {4, 2, chordTone, 1, 2}, {6, 2, passing, 1, 0},
                     {8, 2, chordTone, 1, 6}, {10, 2, passing, -1, 0}, {12, 4, chordTone, -1, 2}};
const Motif hookI = {{0, 2, chordTone, 1, 4}, {2, 2, chordTone, 1, 6}, {4, 8, chordTone, 1, 12}, {12, 4, passing, -1, 0}};
const Motif hookJ = {{0, 4, chordTone, -1, 6}, {4, 2, passing, -1, 0}, {6, 10, chordTone, 0, 4}};
const Motif bellCall = {{0, 6, chordTone, 0, 8}, {6, 2, chordTone, 1, 0}, {8, 6, chordTone, -1, 4}};
const Motif counterA = {{0, 8, chordTone, 0, 6}, {8, 8, chordTone, -1, 0}};
const Motif counterB = {{0, 8, chordTone, 1, 6}, {8, 8, chordTone, 0, 0}};
const Motif held = {{0, 16, chordTone, 0, 6}};

// The motif turned upside down: every step goes the other way.
Motif inverted(Motif m) {
    for (MotifStep& step : m) step.direction = -step.direction;
    return m;
}

// The motif's first half, its last note held to the half bar, then a breath.
Motif fragment(const Motif& m) {
    Motif f;
    for (const MotifStep& step : m)
        if (step.at < 8 && step.kind != rest) f.push_back(step);
    if (!f.empty()) f.back().length = 8 - f.back().at;
    f.push_back({8, 8, rest, 0, 0});
    return f;
}

// The tonal channels a new section releases on its first row unless it plays there.
const int tonalChannels[] = {chBass, chPad0, chPad1, chPad2, chLead, chEcho, chCounter, chArp, chRiser};

// Each section's level, as the module's global volume (0..128): the arc of the piece, a quiet
// temple, the tunnel at full strength, the credits just under it and an ending that recedes.
const int sectionLevel[] = {128, 90, 128, 112, 112};

void beginSection(Song& s, int section, PadVoices& pads) {
    s.limit = sectionStart[section + 1];
    pads.fresh = true;
    if (section == 0) return;  // the intro plays at the module's initial global volume, 128
    s.effect(sectionStart[section], chControl, fxGlobalVolume, (uint8_t)sectionLevel[section]);
    for (int ch : tonalChannels) s.release(sectionStart[section], ch);
}

// Before a cut everything but the pads and the bass holds its breath for a few rows, so the
// hit on the cut stands out clean.
void breathBeforeCut(Song& s, int cut) {
    for (int ch : {chLead, chEcho, chCounter, chArp}) {
        for (int r = cut - 3; r < cut; ++r) s.clear(r, ch);
        s.release(cut - 3, ch);
    }
    for (int r = cut - 2; r < cut; ++r) s.clear(r, chHat), s.clear(r, chSnare);
}

// The bass note of a chord between E-3 and D#-4, above the kick's body.
int bassRoot(const Chord& c) { return 52 + ((c.root % 12) - 4 + 12) % 12 - 12; }

void intro(Song& s, PadVoices& pads) {
    beginSection(s, 0, pads);
    const Chord prog[] = {minor(A), major(F), major(C), major(G)};
    Line lead{chLead, music::lead, 64, 84, 76, 40, 0x34, chEcho};
    // The hook is only hinted at: half phrases first, then the whole line with its answer
    // turned upside down, the form the credits will later sing in full.
    const Motif phrase[] = {fragment(hookA), fragment(hookB), hookA, inverted(hookB),
                            fragment(hookC), hookC, inverted(hookD), hookJ};
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
        if (k >= 12 && k < 20) playMotif(s, lead, phrase[k - 12], r, 16, c);
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

// The rows where the picture asks for a beat of its own: the temple's first word, the tunnel's
// flight and its turn, the credits' second page.
constexpr int templeWordRow = 360, flightRow = 640, turnRow = 654, secondPageRow = 1050;

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
    // A high bell greets each of the six words as it starts to appear (36 s, then every 3 s),
    // stepping up and down through the chord that sounds under it.
    Line chime{chCounter, music::bell, 76, 91, 84, 54, 0, -1};
    for (int w = 0; w < 6; ++w) {
        int r = templeWordRow + w * 30;
        const Motif strike = {{0, 16, chordTone, w % 2 ? -1 : 1, 0}};
        playMotif(s, chime, strike, r, 16, prog[(r - start) / 32]);
        s.clear(r, chHat);
    }
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
            // its level opening up over the first four bars, its accents between the kicks; it
            // climbs an octave for the flight.
            int root = 57 + ((c.root % 12) - 9 + 12) % 12 + (rr >= flightRow ? 12 : 0);
            int third = root + (c.third - c.root), fifth = root + 7;
            const int arp[8] = {root, third, fifth, root + 12, fifth, third, root + 12, fifth};
            for (int i = 0; i < 8; ++i) {
                s.note(rr + i, chArp, arp[i], pluck, std::min(40, 22 + 5 * b) + (i % 4 == 2 ? 4 : 0));
                s.effect(rr + i, chArp, fxPanning, i % 2 ? 0xC8 : 0x38);
            }
        }
    }
    // The tunnel's flash at 56.5 s: the hats hold their breath for a beat, then the hit.
    for (int r = 562; r < 567; ++r) s.clear(r, chHat);
    s.cut(562, chHat);
    impact(s, 565, 60);
    breathBeforeCut(s, sectionStart[3]);
    // The flight starts with a hit a beat before the bar, the turn lands on the next downbeat,
    // and with it a high lead soars over the arpeggio, a long note to each chord.
    impact(s, flightRow, 58);
    impact(s, turnRow, 50);
    Line soar{chLead, music::lead, 72, 88, 76, 40, 0x34, chEcho};
    soar.glide = 0x30;
    for (int r = turnRow, half = 0; r + 8 <= sectionStart[3]; r += 8, ++half) {
        const Motif line = {{0, 16, chordTone, half % 4 < 2 ? 1 : -1, half % 2 ? 0 : 6}};
        playMotif(s, soar, line, r, 8, prog[half % 2 + 2 * ((r - bars) / 16 % 2)]);
    }
}

// The credits' song: a verse of two eight-bar phrases (A, then A varied), a break where a bell
// sings over the pads, a contrasting B phrase over a new progression, and the climax: the hook
// an octave's reach higher, loudest, leaping to its peak before it settles.
void credits(Song& s, PadVoices& pads) {
    beginSection(s, 3, pads);
    const int start = sectionStart[3], bars = start + 6;  // a six-row pickup, then 34 whole bars
    const Chord verse[] = {major(F), major(G), minor(E), minor(A), major(F), major(G), major(C), major(E)};
    const Chord bridge[] = {minor(D), major(G), major(C), minor(A), minor(D), major(F), major(G), major(E)};
    const Motif* melody[34] = {&hookA,  &hookB, &hookA, &hookD, &hookA,  &hookB, &hookC, &hookD,
                               &hookAv, &hookE, &hookA, &hookF, &hookAv, &hookB, &hookC, &hookJ,
                               nullptr, nullptr, nullptr, nullptr,
                               &hookG,  &hookH, &hookE, &hookF, &hookG,  &hookH, &hookI, &hookJ,
                               &hookAv, &hookI, &hookH, &hookI, &hookJ,  &held};
    Line lead{chLead, music::lead, 64, 84, 72, 44, 0x34, chEcho};
    Line counter{chCounter, music::bell, 57, 76, 64, 40, 0, -1};
    lead.glide = 0x30;
    impact(s, start, 64);
    padChord(s, start, verse[0], pads, 40);
    s.note(start, chBass, bassRoot(verse[0]), bass, 54);
    for (int i = 2; i < 6; ++i) s.note(start + i, chSnare, C, snare, 30 + 6 * i);
    for (int b = 0; b < 34; ++b) {
        int r = bars + b * 16;
        bool breakBar = b >= 16 && b < 20, bPart = b >= 20 && b < 28, climax = b >= 28;
        const Chord& c = bPart ? bridge[b % 8] : verse[b % 8];
        padChord(s, r, c, pads, climax ? 48 : bPart ? 44 : breakBar ? 34 : 40);
        static const int bassLine[] = {0, 0, 12, 0, 7, 0, 12, 7};
        for (int i = 0; i < 8; ++i)
            if (!breakBar || i % 4 == 0) s.note(r + i * 2, chBass, bassRoot(c) + bassLine[i], bass, i == 0 ? 54 : 42);
        if (!breakBar) drumBar(s, r, 16, backbeat, b % 8 == 7 || b == 33, climax ? 64 : 60);
        if (b == 18 || b == 19) drumBar(s, r, 16, sparse, b == 19, 44);
        if (b == 19) s.note(r - 16, chRiser, C, riser, 40);  // two bars of swell into the B phrase
        if (b == 20 || b == 28) impact(s, r, 52);
        // The break falls back, the B phrase lifts, the climax opens fully.
        if (b == 16 || b == 20 || b == 28)
            s.effect(r, chControl, fxGlobalVolume, (uint8_t)(b == 16 ? 76 : b == 20 ? 108 : 118));
        if (melody[b]) {
            lead.volume = climax ? 50 : bPart ? 46 : 44;
            lead.low = climax ? 69 : 64;
            lead.high = climax ? 89 : 84;
            playMotif(s, lead, *melody[b], r, 16, c);
        }
        if (b == 16) s.release(r, chLead);
        if (b >= 16) {
            counter.volume = breakBar ? 46 : 36;
            playMotif(s, counter, b % 2 ? counterB : counterA, r, 16, c);
        }
    }
    impact(s, secondPageRow, 48);  // the second page of credits arrives in the break
    breathBeforeCut(s, sectionStart[4]);
}

void ending(Song& s, PadVoices& pads) {
    beginSection(s, 4, pads);
    const int start = sectionStart[4], end = sectionStart[5], receded = 84;
    const Chord prog[] = {minor(A), major(F), major(C), major(G), minor(A), major(F), minor(D), major(E)};
    // The hook remembered at half speed, partly upside down, closing with the cadence figure.
    const Motif phrase[] = {inverted(hookA), hookB, inverted(hookE), hookD, hookG, inverted(hookB), hookC, hookJ};
    Line lead{chLead, music::lead, 64, 84, 76, 40, 0x24, chEcho};
    lead.glide = 0x18;
    Line counter{chCounter, music::bell, 57, 76, 69, 36, 0, -1};
    impact(s, start, 62);
    for (int k = 0; k < 16; ++k) {
        int r = start + k * 32;
        const Chord& c = prog[k % 8];
        padChord(s, r, c, pads, 44);
        s.note(r, chBass, bassRoot(c), bass, 50 - k);
        s.note(r + 16, chBass, bassRoot(c), bass, 38 - k);
        if (k == 12) s.effect(r, chControl, fxGlobalVolume, receded);  // without drums the piece recedes
        if (k < 12) {  // the drums thin out, then stop three chords before the cadence
            drumBar(s, r, 16, sparse, false, k < 8 ? 58 : 46);
            drumBar(s, r + 16, 16, sparse, k == 7, k < 8 ? 58 : 46);
        }
        if (k < 8) {
            lead.volume = 40 - k;
            playMotif(s, lead, phrase[k], r, 32, c);
        } else {
            playMotif(s, counter, k % 2 ? counterB : counterA, r, 32, c);
        }
    }
    // The cadence lands on A minor at 181.2 s: pads, bass and a bell A, the bell struck again an
    // octave higher as the bass drops away. Then the chord breathes out: the pads release over two
    // seconds, the bells ring down, and the last 1.2 s fade to silence, reached a fifth of a
    // second before the song's end.
    const int last = start + 512;
    pads.fresh = true;
    padChord(s, last, minor(A), pads, 48);
    s.note(last, chBass, bassRoot(minor(A)), bass, 46);
    s.note(last, chCounter, 57, music::bell, 44);
    s.note(last + 32, chCounter, 69, music::bell, 40);
    s.release(last + 28, chBass);
    for (int ch = chPad0; ch <= chPad2; ++ch) s.release(last + 46, ch);
    const int fadeFrom = end - 14, silentFrom = end - 2;
    for (int r = fadeFrom; r <= silentFrom; ++r)
        s.effect(r, chControl, fxGlobalVolume, (uint8_t)(receded * (silentFrom - r) / (silentFrom - fadeFrom)));
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
