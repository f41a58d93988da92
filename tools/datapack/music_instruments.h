// The soundtrack's instruments: one per sample, each with the volume envelope that shapes its
// notes (attack, decay, a sustain point held until the note is released, then the release),
// its fade-out, the action a new note takes on the one still sounding in its channel, and for
// the pads a resonant filter that opens with the swell and closes with the release. The module
// plays in instrument mode, so a note-off in the score lets a note breathe out instead of
// stopping it.
//
//   std::vector<music::Instrument> kit = music::makeInstruments();  // index = SampleId - 1
#pragma once

#include <cstdint>
#include <vector>

namespace music {

// Ticks are 1/60 s at the module's tempo: six to a row.
constexpr int ticksPerRow = 6;

struct EnvelopeNode {
    int tick, value;  // value 0..64 for volume, -32..32 for the filter
};

struct Envelope {
    std::vector<EnvelopeNode> nodes;  // empty: no envelope
    int sustain = -1;                 // the node held until note-off, or -1
};

// What a new note in a channel does with the note still sounding there.
enum NewNoteAction : uint8_t { nnaCut = 0, nnaContinue = 1, nnaNoteOff = 2, nnaNoteFade = 3 };

struct Instrument {
    const char* name = "";
    int sample = 0;  // the sample every key plays
    NewNoteAction nna = nnaCut;
    int fadeOut = 0;  // 0..256: how fast a faded note falls silent, 0 for never
    Envelope volume, filter;
    int cutoff = -1, resonance = -1;  // initial filter, 0..127, or -1 for none
};

std::vector<Instrument> makeInstruments();

}  // namespace music
