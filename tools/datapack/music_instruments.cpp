// The soundtrack's instruments. Drums are struck and left to their envelopes, which shorten the
// samples' tails so the grooves stay dry; pitched sounds rise, settle on a sustain level while
// the note is held and release when the score lets go, and the sustained ones hand over to the
// next note by releasing in the background (new-note action "note off"), so chord changes
// overlap instead of clicking. Bells and the crash ring on under their next strike.
#include "music_instruments.h"

#include "music_samples.h"

namespace music {

std::vector<Instrument> makeInstruments() {
    std::vector<Instrument> kit(sampleCount);
    auto set = [&](SampleId id, const char* name, NewNoteAction nna, Envelope volume) {
        Instrument& i = kit[id - 1];
        i.name = name;
        i.sample = id;
        i.nna = nna;
        i.volume = volume;
        return &i;
    };
    set(kick, "kick", nnaCut, {{{0, 64}, {8, 60}, {20, 0}}});
    set(snare, "snare", nnaCut, {{{0, 64}, {6, 50}, {18, 16}, {30, 0}}});
    set(hat, "hat", nnaCut, {{{0, 64}, {3, 36}, {8, 0}}});
    set(openHat, "open hat", nnaCut, {{{0, 64}, {10, 44}, {28, 0}}});
    // The bass plucks, settles and lets go within a sixteenth, tight under the kick.
    set(bass, "bass", nnaCut, {{{0, 0}, {1, 64}, {12, 48}, {40, 44}, {48, 0}}, 3});
    // The pads swell in over two thirds of a second and breathe out over two; their filter opens
    // with the swell, settles a little darker and closes as they fade.
    Instrument* pads = set(pad, "pad", nnaNoteOff, {{{0, 0}, {40, 64}, {90, 56}, {210, 0}}, 2});
    pads->filter = {{{0, -20}, {40, 16}, {90, 6}, {210, -24}}, 2};
    pads->cutoff = 108;
    pads->resonance = 40;
    pads->fadeOut = 16;
    Instrument* lead = set(music::lead, "lead", nnaNoteOff, {{{0, 0}, {2, 64}, {14, 52}, {34, 0}}, 2});
    lead->fadeOut = 64;
    set(bell, "bell", nnaContinue, {{{0, 64}, {60, 48}, {180, 0}}});
    set(pluck, "pluck", nnaNoteFade, {{{0, 64}, {12, 40}, {27, 0}}})->fadeOut = 96;
    set(crash, "crash", nnaContinue, {{{0, 64}, {60, 34}, {156, 0}}});
    set(riser, "riser", nnaCut, {});
    return kit;
}

}  // namespace music
