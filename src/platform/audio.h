// Audio stand-in for the demo's closed audio library: libopenmpt plays "Mod_.it", SDL audio
// outputs it at 44100 Hz stereo on its own thread.
//
// The shell calls through `audioApi`, a table of plain functions, so tests can replace any call
// with one that fails. Every change of state or position locks the SDL audio device.
//
// Error codes (audioErrorGetCode, the code of the last failed call):
//   0 no error, 1 no output device could be opened, 2 the module file cannot be opened or read,
//   3 the file is not a module libopenmpt can play, 4 bad handle, 5 device not initialised,
//   6 out of memory, 7 position out of range.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t audioVersionWord = 0x80000;
constexpr int audioOutputRate = 44100;  // samples per second, stereo

enum AudioError : int {
    AudioOk = 0,
    AudioNoDevice = 1,
    AudioFileUnreadable = 2,
    AudioBadFormat = 3,
    AudioBadHandle = 4,
    AudioNotInitialised = 5,
    AudioNoMemory = 6,
    AudioBadPosition = 7,
};

struct AudioApi {
    uint32_t (*getVersion)();
    bool (*init)(int device, int frequency, unsigned flags);
    int (*errorGetCode)();
    bool (*start)();
    uint32_t (*musicLoad)(const char* file);  // handle, 0 on failure
    bool (*musicPlay)(uint32_t handle);       // from the start
    bool (*pause)();
    bool (*setPosition)(uint32_t handle, uint32_t orderRow);  // order low word, row high word
    bool (*setPositionSeconds)(uint32_t handle, double seconds);
    bool (*stop)();
    bool (*free)();
};

// The table the shell calls; starts as the real implementation.
extern AudioApi audioApi;
// The real implementation, to restore the table.
extern const AudioApi realAudioApi;

// Why the last init could not open an output device and what to do about it, one line ("" when
// it could): the box that says the demo plays silent carries it, so that someone who started
// the demo from a menu sees it too.
const char* audioDeviceHint();
// Gain of the music in decibels for every module opened from now on (live and rendered).
void setMusicGain(double decibels);
// Renders module file to interleaved 16-bit stereo samples at sampleRate (the player's own
// output rate unless told; a video's sound is rendered at 48000 Hz directly, not resampled)
// without any output device: exactly frameCount frames (silence after the module ends). False
// when the file cannot be read or played.
bool renderModuleSamples(const char* file, int64_t frameCount, std::vector<int16_t>& samples,
                         int sampleRate = audioOutputRate);
// Writes samples (interleaved stereo at sampleRate) as a 16-bit PCM WAV file. On false errno
// holds the system's reason.
bool writeWavFile(const char* path, const std::vector<int16_t>& samples, int sampleRate = audioOutputRate);
