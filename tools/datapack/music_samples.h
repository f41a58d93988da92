// The soundtrack's samples: every one synthesised from fixed seeds at 44.1 kHz. One-shots carry
// their own decay (a pluck's, a bell's ring); looped tones carry their first bite and the move
// from a bright to a darker timbre, and leave their level to the instruments' envelopes.
//
//   std::vector<music::Sample> samples = music::makeSamples();  // index = SampleId - 1
#pragma once

#include <cstdint>
#include <vector>

namespace music {

constexpr int sampleRate = 44100;

struct Sample {
    const char* name = "";
    std::vector<int16_t> data;
    int c5Speed = sampleRate;  // playback rate of C-5 (middle C)
    int loopBegin = -1, loopEnd = -1;
    int globalVolume = 64;
};

// Sample numbers, which are also the instrument numbers the patterns use.
enum SampleId : uint8_t {
    kick = 1, snare, hat, openHat, bass, pad, lead, bell, pluck, crash, riser, sampleCount = riser
};

std::vector<Sample> makeSamples();

// How long a note of the sample sounds at the given note (60 = C-5), in seconds; a looped
// sample sounds until stopped (a negative result).
double sampleSeconds(const Sample& s, int note);

}  // namespace music
