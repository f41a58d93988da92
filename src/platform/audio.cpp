// Audio stand-in on libopenmpt and SDL audio.
#include "platform/audio.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <new>
#include <string>

#include "platform/files.h"
#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include "platform/counter.h"
#endif

namespace {
constexpr int outputRate = audioOutputRate;

SDL_AudioDeviceID device = 0;
std::unique_ptr<openmpt::module> module;
uint32_t moduleHandle = 0;
uint32_t nextHandle = 1;
bool moduleplaying = false;
int lastError = AudioOk;
int32_t gainMillibel = 0;  // the music's gain, applied as each module is opened

std::string deviceHint;  // what to do about the last failed device opening, "" after a success

void fail(int code) { lastError = code; }

#ifdef __EMSCRIPTEN__
// Where and when the music last began to play, for the page to hold the music against the
// clock (webMusicPosition, webMusicClock below).
int64_t playMark = 0;
double playMarkSeconds = 0.0;
bool playMarked = false;
void markPlay(double seconds)
{
    playMark = counterValue();
    playMarkSeconds = seconds;
    playMarked = true;
}
// A page's sound is asked for on the page's one thread, and requests that came while the
// program was busy (reading the module) wait in line. Answered after the music starts, they
// would all take music at once and skip it ahead of the picture; a turn for the browser just
// before the music starts answers them with silence.
void answerWaitingRequests() { emscripten_sleep(20); }
#else
void markPlay(double) {}
void answerWaitingRequests() {}
#endif

void noteDeviceHint(const char* reason)
{
    deviceHint = std::string("no sound output could be opened (") + reason +
                 "); check the sound server or SDL_AUDIODRIVER, or play with --mute";
}

// SDL's audio thread: decode straight into the output buffer.
void fillAudio(void*, Uint8* stream, int length)
{
    auto* out = reinterpret_cast<int16_t*>(stream);
    size_t frames = static_cast<size_t>(length) / (2 * sizeof(int16_t));
    size_t done = 0;
    if (module && moduleplaying) {
        try {
            while (done < frames) {
                size_t got = module->read_interleaved_stereo(outputRate, frames - done, out + 2 * done);
                if (got == 0) break;
                done += got;
            }
        } catch (...) {
        }
    }
    for (size_t i = 2 * done; i < 2 * frames; ++i) out[i] = 0;
}

std::unique_ptr<openmpt::module> openModule(const char* file)
{
    const std::string path = resolvePath(file);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        noteMissingFile(path);
        fail(AudioFileUnreadable);
        return nullptr;
    }
    try {
        auto m = std::make_unique<openmpt::module>(in);
        m->set_repeat_count(0);
        m->set_render_param(openmpt::module::RENDER_MASTERGAIN_MILLIBEL, gainMillibel);
        // No dither: the same module renders to the same samples every time.
        try {
            m->ctl_set_integer("dither", 0);
        } catch (...) {
        }
        return m;
    } catch (const std::bad_alloc&) {
        fail(AudioNoMemory);
    } catch (...) {
        fail(in.bad() ? AudioFileUnreadable : AudioBadFormat);
    }
    return nullptr;
}

uint32_t getVersion() { return audioVersionWord; }

bool init(int, int frequency, unsigned)
{
    if (device != 0) return true;
    deviceHint.clear();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        noteDeviceHint(SDL_GetError());
        fail(AudioNoDevice);
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = frequency > 0 ? frequency : outputRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = fillAudio;
    SDL_AudioSpec have{};
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        const char* driver = SDL_GetCurrentAudioDriver();
        std::string reason = driver ? driver : "no driver";
        if (*SDL_GetError()) reason += std::string(": ") + SDL_GetError();
        noteDeviceHint(reason.c_str());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        fail(AudioNoDevice);
        return false;
    }
    return true;
}

int errorGetCode() { return lastError; }

bool start()
{
    if (device == 0) {
        fail(AudioNotInitialised);
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

uint32_t musicLoad(const char* file)
{
    if (device == 0) {
        fail(AudioNotInitialised);
        return 0;
    }
    auto loaded = openModule(file);
    if (!loaded) return 0;
    SDL_LockAudioDevice(device);
    module = std::move(loaded);
    moduleHandle = nextHandle++;
    moduleplaying = false;
    SDL_UnlockAudioDevice(device);
    return moduleHandle;
}

bool validHandle(uint32_t handle)
{
    if (device == 0) {
        fail(AudioNotInitialised);
        return false;
    }
    if (handle == 0 || handle != moduleHandle || !module) {
        fail(AudioBadHandle);
        return false;
    }
    return true;
}

bool musicPlay(uint32_t handle)
{
    if (!validHandle(handle)) return false;
    answerWaitingRequests();
    SDL_LockAudioDevice(device);
    try {
        module->set_position_order_row(0, 0);
    } catch (...) {
    }
    moduleplaying = true;
    SDL_UnlockAudioDevice(device);
    SDL_PauseAudioDevice(device, 0);
    markPlay(0.0);
    return true;
}

bool pause()
{
    if (device == 0) {
        fail(AudioNotInitialised);
        return false;
    }
    SDL_PauseAudioDevice(device, 1);
    return true;
}

bool setPosition(uint32_t handle, uint32_t orderRow)
{
    if (!validHandle(handle)) return false;
    int order = static_cast<int>(orderRow & 0xFFFF);
    int row = static_cast<int>(orderRow >> 16);
    SDL_LockAudioDevice(device);
    bool ok = true;
    try {
        if (order >= module->get_num_orders()) ok = false;
        else module->set_position_order_row(order, row);
    } catch (...) {
        ok = false;
    }
    SDL_UnlockAudioDevice(device);
    if (!ok) fail(AudioBadPosition);
    return ok;
}

bool setPositionSeconds(uint32_t handle, double seconds)
{
    if (!validHandle(handle)) return false;
    if (!(seconds >= 0.0)) seconds = 0.0;
    SDL_LockAudioDevice(device);
    try {
        module->set_position_seconds(seconds);
    } catch (...) {
    }
    moduleplaying = true;
    SDL_UnlockAudioDevice(device);
    markPlay(seconds);
    return true;
}

bool stop()
{
    if (device == 0) {
        fail(AudioNotInitialised);
        return false;
    }
    SDL_PauseAudioDevice(device, 1);
    SDL_LockAudioDevice(device);
    moduleplaying = false;
    SDL_UnlockAudioDevice(device);
    return true;
}

bool freeAudio()
{
    if (device == 0) {
        fail(AudioNotInitialised);
        return false;
    }
    SDL_CloseAudioDevice(device);
    device = 0;
    module.reset();
    moduleHandle = 0;
    moduleplaying = false;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return true;
}
}  // namespace

void setMusicGain(double decibels) { gainMillibel = static_cast<int32_t>(std::lround(decibels * 100.0)); }

const AudioApi realAudioApi = {getVersion, init, errorGetCode, start, musicLoad, musicPlay,
                               pause, setPosition, setPositionSeconds, stop, freeAudio};
AudioApi audioApi = realAudioApi;

#ifdef __EMSCRIPTEN__
// For the page: the module's position in seconds, and where a clock started with the music
// would be; both -1 while no music plays.
extern "C" EMSCRIPTEN_KEEPALIVE double webMusicPosition()
{
    if (!module || !moduleplaying) return -1.0;
    try {
        return module->get_position_seconds();
    } catch (...) {
        return -1.0;
    }
}

extern "C" EMSCRIPTEN_KEEPALIVE double webMusicClock()
{
    if (!module || !moduleplaying || !playMarked) return -1.0;
    return playMarkSeconds + double(counterValue() - playMark) / double(counterFrequency());
}
#endif

bool renderModuleSamples(const char* file, int64_t frameCount, std::vector<int16_t>& samples, int sampleRate)
{
    auto m = openModule(file);
    if (!m || frameCount < 0) return false;
    samples.assign(static_cast<size_t>(frameCount) * 2, 0);
    int64_t done = 0;
    try {
        while (done < frameCount) {
            size_t want = static_cast<size_t>(std::min<int64_t>(frameCount - done, 4096));
            size_t got = m->read_interleaved_stereo(sampleRate, want, samples.data() + 2 * done);
            if (got == 0) break;
            done += static_cast<int64_t>(got);
        }
    } catch (...) {
        return false;
    }
    return true;
}

bool writeWavFile(const char* path, const std::vector<int16_t>& samples, int sampleRate)
{
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    auto put32 = [f](uint32_t v) {
        unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    auto put16 = [f](uint16_t v) {
        unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(16);
    put16(1);
    put16(2);
    put32(static_cast<uint32_t>(sampleRate));
    put32(static_cast<uint32_t>(sampleRate) * 4);
    put16(4);
    put16(16);
    std::fwrite("data", 1, 4, f);
    put32(dataBytes);
    for (int16_t s : samples) put16(static_cast<uint16_t>(s));
    // Buffered samples reach the disk at the flush, where a full disk shows; its errno is kept
    // for the caller's message.
    bool ok = std::fflush(f) == 0 && std::ferror(f) == 0;
    const int reason = errno;
    const bool closed = std::fclose(f) == 0;
    if (!ok) errno = reason;
    return ok && closed;
}

const char* audioDeviceHint() { return deviceHint.c_str(); }
