// The score's writing tools: cells, chords, pad voice leading, melodic motifs, drum bars and
// impacts. The arrangement (music_arrangement.cpp) puts them together into the piece.
#include "music_score.h"

#include <algorithm>
#include <cstdlib>

#include "music_samples.h"

namespace music {

void Song::note(int row, int ch, int n, int sample, int volume) {
    if (!inside(row)) return;
    Cell& c = rows[row][ch];
    c.hasNote = true;
    c.note = (uint8_t)n;
    c.sample = (uint8_t)sample;
    c.volume = (uint8_t)std::clamp(volume, 0, 64);
}

void Song::cut(int row, int ch) {
    if (!inside(row)) return;
    Cell& c = rows[row][ch];
    c.hasNote = true;
    c.note = noteCut;
    c.sample = 0;
    c.volume = 255;
}

void Song::release(int row, int ch) {
    if (!inside(row)) return;
    Cell& c = rows[row][ch];
    c.hasNote = true;
    c.note = noteOff;
    c.sample = 0;
    c.volume = 255;
}

void Song::clear(int row, int ch) {
    if (inside(row)) rows[row][ch] = Cell{};
}

void Song::effect(int row, int ch, uint8_t command, uint8_t param) {
    if (!inside(row)) return;
    rows[row][ch].command = command;
    rows[row][ch].param = param;
}

bool Chord::has(int note) const {
    int pc = ((note % 12) + 12) % 12;
    return pc == root % 12 || pc == third % 12 || pc == fifth % 12;
}
Chord minor(int r) { return {r, r + 3, r + 7}; }
Chord major(int r) { return {r, r + 4, r + 7}; }

void padChord(Song& s, int row, const Chord& chord, PadVoices& voices, int volume) {
    const int tones[3] = {chord.root % 12, chord.third % 12, chord.fifth % 12};
    static const int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    int best[3] = {}, bestCost = 1 << 30;
    for (const auto& order : orders) {
        int next[3], cost = 0;
        for (int v = 0; v < 3; ++v) {
            int from = voices.notes[v], pc = tones[order[v]];
            int n = from - ((from - pc) % 12 + 12) % 12;  // the tone at or below
            if (from - n > 6) n += 12;
            if (n < 50) n += 12;  // keep the pad in its register, by octaves
            if (n > 74) n -= 12;
            next[v] = n;
            cost += std::abs(n - from);
        }
        if (cost < bestCost) bestCost = cost, std::copy(next, next + 3, best);
    }
    for (int v = 0; v < 3; ++v) {
        // A common tone is held, not struck again: only moving voices start a new swell.
        if (best[v] != voices.notes[v] || voices.fresh) s.note(row, chPad0 + v, best[v], pad, volume);
        voices.notes[v] = best[v];
    }
    voices.fresh = false;
}

namespace {

bool inScale(int note, const Chord& chord) {
    static const bool natural[12] = {1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 1};  // A minor
    int pc = ((note % 12) + 12) % 12;
    bool harmonic = chord.has(G + 1);  // over E major the G is sharpened
    if (harmonic && pc == 7) return false;
    if (harmonic && pc == 8) return true;
    return natural[pc];
}

bool rubs(int note, const Chord& chord) {
    return !chord.has(note) && (chord.has(note + 1) || chord.has(note - 1));
}

int chordToneFrom(const Line& line, int from, int direction, const Chord& chord) {
    int best = -1;
    for (int n = line.low; n <= line.high; ++n) {
        if (!chord.has(n)) continue;
        bool ok = direction > 0 ? n > from : direction < 0 ? n < from : true;
        if (ok && (best < 0 || std::abs(n - from) < std::abs(best - from))) best = n;
    }
    if (best < 0) return chordToneFrom(line, from, 0, chord);  // the range ends: turn around
    return best;
}

int passingFrom(const Line& line, int from, int direction, const Chord& chord) {
    if (direction == 0) direction = -1;
    int n = from;
    for (int guard = 0; guard < 4; ++guard) {
        do n += direction;
        while (!inScale(n, chord));
        if (!rubs(n, chord)) break;  // a semitone against the pad: step on to the next tone
    }
    if (n < line.low || n > line.high) return chordToneFrom(line, from, -direction, chord);
    return n;
}

}  // namespace

int playMotif(Song& s, Line& line, const Motif& motif, int row, int span, const Chord& chord) {
    for (std::size_t i = 0; i < motif.size(); ++i) {
        const MotifStep& step = motif[i];
        int at = row + step.at * span / 16, length = std::max(1, step.length * span / 16);
        if (step.kind == rest) {
            s.release(at, line.channel);
            continue;
        }
        int n = step.kind == chordTone ? chordToneFrom(line, line.last, step.direction, chord)
                                       : passingFrom(line, line.last, step.direction, chord);
        int volume = line.volume + step.accent;
        s.note(at, line.channel, n, line.sample, volume);
        // A motif may open by sliding up or down from the note still sounding, a singer's
        // portamento, when that note lies within a third.
        if (i == 0 && line.glide && n != line.last && std::abs(n - line.last) <= 4 && s.inside(at)) {
            int before = at - 1;
            while (before > 0 && !s.rows[before][line.channel].hasNote) --before;
            const Cell& previous = s.rows[std::max(before, 0)][line.channel];
            if (previous.hasNote && previous.note < 120) s.effect(at, line.channel, fxTonePorta, (uint8_t)line.glide);
        }
        bool followed = i + 1 < motif.size() && row + motif[i + 1].at * span / 16 == at + length;
        if (!followed) s.release(at + length, line.channel);
        for (int r = at + 2; line.vibrato && r < at + length; ++r) s.effect(r, line.channel, fxVibrato, (uint8_t)line.vibrato);
        if (line.echoChannel >= 0) {
            // The echo answers from across the field, quieter, and fades within a few rows.
            int echoRows = std::min(length, 4);
            s.note(at + 3, line.echoChannel, n, line.sample, volume * 2 / 5);
            for (int r = at + 4; r < at + 3 + echoRows; ++r) s.effect(r, line.echoChannel, fxVolumeSlide, 0x03);
            if (!s.inside(at + 3 + echoRows) || !s.rows[at + 3 + echoRows][line.echoChannel].hasNote)
                s.release(at + 3 + echoRows, line.echoChannel);
        }
        line.last = n;
    }
    return line.last;
}

void drumBar(Song& s, int row, int length, DrumStyle style, bool fill, int volume) {
    auto v = [&](int level) { return level * volume / 64; };
    for (int i = 0; i < length; ++i) {
        int r = row + i;
        switch (style) {
        case introGroove:
            if (i % 4 == 0) s.note(r, chKick, C, kick, v(60));
            if (i % 8 == 4) s.note(r, chSnare, C, snare, v(52));
            if (i % 2 == 0) s.note(r, chHat, C, hat, v(i % 4 ? 60 : 44));  // the offbeat leads
            break;
        case halfTime:
            if (i == 0 || i == 11) s.note(r, chKick, C, kick, v(i ? 44 : 60));
            if (i == 8) s.note(r, chSnare, C - 2, snare, v(58));
            if (i % 4 == 2) s.note(r, chHat, C, openHat, v(44));
            else if (i % 2 == 0) s.note(r, chHat, C, hat, v(48));
            break;
        case drive:
            if (i % 4 == 0) s.note(r, chKick, C, kick, v(62));
            if (i % 8 == 4) s.note(r, chSnare, C, snare, v(56));
            if (i % 4 == 2) s.note(r, chHat, C, openHat, v(46));
            else s.note(r, chHat, C, hat, v(i % 2 ? 42 : 34));
            break;
        case backbeat:
            if (i == 0 || i == 6 || i == 10) s.note(r, chKick, C, kick, v(60));
            if (i % 8 == 4) s.note(r, chSnare, C, snare, v(54));
            if (i % 2 == 0) s.note(r, chHat, C, i % 4 == 2 ? openHat : hat, v(i % 4 == 2 ? 42 : 38));
            else s.note(r, chHat, C, hat, v(36));
            break;
        case sparse:
            if (i == 0 || i == 8) s.note(r, chKick, C, kick, v(56));
            if (i == 12) s.note(r, chSnare, C - 3, snare, v(46));
            if (i % 4 == 2) s.note(r, chHat, C, hat, v(62));
            else if (i % 2 == 0) s.note(r, chHat, C, hat, v(36));
            break;
        }
        // A fill: three rising snare strokes, then a breath before the next downbeat.
        if (fill && i >= length - 4 && i < length - 1)
            s.note(r, chSnare, C + 2 * (i - length + 4), snare, v(38 + 8 * (i - length + 4)));
    }
}

void impact(Song& s, int row, int volume, int delayTicks) {
    s.note(row, chImpact, C, crash, volume);
    s.note(row, chKick, C, kick, 56);
    if (s.inside(row) && !s.rows[row][chHat].hasNote) s.cut(row, chHat);  // the crash chokes the open hat
    if (s.inside(row - 1) && s.rows[row - 1][chHat].hasNote) s.clear(row - 1, chHat);  // a breath before it
    if (delayTicks) {
        s.effect(row, chImpact, fxSpecial, (uint8_t)(0xD0 | delayTicks));
        s.effect(row, chKick, fxSpecial, (uint8_t)(0xD0 | delayTicks));
    }
}

}  // namespace music
