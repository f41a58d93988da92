// The soundtrack's score: a grid of tracker rows (0.1 s each) over the module's channels, and
// the tools a part is written with: chords with smoothly led pad voices, motifs that turn into
// melodies over any chord, drum bars, accents and echoes. compose() writes the whole piece.
//
//   music::Song song;
//   music::compose(song);            // rows 0..1879, one per 0.1 s
//   song.rows[row][music::chLead]    // the cell a channel plays on a row
#pragma once

#include <cstdint>
#include <vector>

namespace music {

// IT effect letters as command numbers.
enum Effect : uint8_t {
    fxSpeed = 1, fxVolumeSlide = 4, fxPortaDown = 5, fxPortaUp = 6, fxTonePorta = 7, fxVibrato = 8,
    fxSpecial = 19, fxTempo = 20, fxGlobalVolume = 22, fxPanning = 24
};
constexpr uint8_t noteCut = 254, noteOff = 255;

struct Cell {
    uint8_t note = 0, sample = 0, volume = 255, command = 0, param = 0;
    bool hasNote = false;
};

enum Channel {
    chKick, chSnare, chHat, chBass, chPad0, chPad1, chPad2, chLead, chEcho, chControl, chCounter, chImpact,
    chRiser, chArp, channelCount
};
// Default panning per channel (0 left, 32 centre, 64 right): pads spread across the field, the
// lead left of centre with its echo and the counter-melody to the right.
constexpr uint8_t channelPan[channelCount] = {32, 26, 42, 32, 8, 32, 56, 20, 50, 32, 44, 32, 32, 32};

// Rows where the sections begin: intro, temple, tunnel, credits, ending, and the song's end.
constexpr int sectionStart[] = {0, 348, 556, 750, 1300, 1880};

struct Song {
    std::vector<std::vector<Cell>> rows;  // rows[row][channel]
    int limit = 0;  // rows at or past this one are refused: a section writes inside itself only

    bool inside(int row) const { return row >= 0 && row < limit && row < (int)rows.size(); }
    void note(int row, int ch, int n, int sample, int volume);
    void cut(int row, int ch);      // stops the note at once
    void release(int row, int ch);  // lets the note go: its envelope releases
    void clear(int row, int ch);
    void effect(int row, int ch, uint8_t command, uint8_t param);
};

// IT note numbers: 60 is middle C (C-5).
constexpr int A = 57, B = 59, C = 60, D = 62, E = 64, F = 65, G = 67;

struct Chord {
    int root, third, fifth;  // notes; pitch classes are what counts
    bool has(int note) const;
};
Chord minor(int root);
Chord major(int root);

// Pad voices that move to the next chord by the smallest steps (each voice to the nearest tone,
// no two voices on one tone).
struct PadVoices {
    int notes[3] = {A, C, E};
    bool fresh = true;  // strike every voice on the next chord (a section's first)
};
void padChord(Song& s, int row, const Chord& chord, PadVoices& voices, int volume);

// A motif step: a chord tone reached upwards, downwards or by the nearest way from the last
// note, a passing step along the scale, or a rest. Rows and lengths are in sixteenths of the
// motif's span, so one motif plays over a bar or, stretched, over two.
enum StepKind { chordTone, passing, rest };
struct MotifStep {
    int at, length;
    StepKind kind;
    int direction;  // -1 down, 0 nearest, +1 up
    int accent;     // volume added on this note
};
using Motif = std::vector<MotifStep>;

struct Line {
    int channel, sample;
    int low, high;   // the range the line stays in
    int last;        // the last note, where the next motif continues from
    int volume;
    int vibrato;     // IT vibrato parameter on held notes, 0 for none
    int echoChannel = -1;  // a decaying echo three rows behind, or -1
    int glide = 0;         // tone-portamento speed into a motif's first note, 0 to strike it
};

// Plays a motif over a chord from row for span rows; returns the last note.
int playMotif(Song& s, Line& line, const Motif& motif, int row, int span, const Chord& chord);

// One bar of drums in a style; fill adds a snare run in the last beat, leaving its last row free.
enum DrumStyle { introGroove, halfTime, drive, backbeat, sparse };
void drumBar(Song& s, int row, int length, DrumStyle style, bool fill, int volume);

// A hit on the picture's events: crash and low boom, with a kick; delay in ticks (1/60 s).
void impact(Song& s, int row, int volume, int delayTicks = 0);

void compose(Song& s);

}  // namespace music
