#include "platform/sound/sdl/sdl_audio_out.h"

#include <SDL.h>

#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

#include "liba/nocopy.h"

namespace platform {

namespace {

// Sound libraries below SDL (ALSA above all) write their own complaints to standard
// error while a device is looked for; the one warning the program gives, with SDL's
// reason in it, says all that matters. While this lives, standard error goes nowhere.
class QuietStandardError : liba::Nocopy {
public:
    QuietStandardError() : saved_(dup(STDERR_FILENO))
    {
        const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ != -1 && nowhere != -1)
            dup2(nowhere, STDERR_FILENO);
        if (nowhere != -1)
            close(nowhere);
    }
    ~QuietStandardError()
    {
        if (saved_ == -1)
            return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }

private:
    int saved_;
};

bool start_sdl_audio(std::string& error)
{
    // Started once and kept for the life of the process: the desktop window's SDL
    // may come and go, and devices open from worker threads.
    static std::mutex mutex;
    static bool started = false;
    std::lock_guard lock(mutex);
    if (!started) {
        const QuietStandardError quiet;
        started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }
    if (!started)
        error = SDL_GetError();
    return started;
}

// One sample of any of the device formats as signed 16-bit: 8-bit samples are
// unsigned, wider ones keep their top 16 bits.
std::int16_t sample_at(const std::uint8_t* at, int bytes)
{
    if (bytes == 1)
        return static_cast<std::int16_t>((at[0] - 128) * 256);
    return static_cast<std::int16_t>(at[bytes - 2] | at[bytes - 1] << 8);
}

} // namespace

std::unique_ptr<SdlAudioSink> SdlAudioSink::open(WaveQueue& queue, std::string& error)
{
    if (!start_sdl_audio(error))
        return nullptr;
    std::unique_ptr<SdlAudioSink> sink(new SdlAudioSink(queue));
    SDL_AudioSpec wanted{};
    wanted.freq = queue.format().sample_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(queue.format().channels);
    wanted.samples = 2048;
    wanted.callback = &SdlAudioSink::callback;
    wanted.userdata = sink.get();
    SDL_AudioSpec obtained{};
    {
        const QuietStandardError quiet;
        sink->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    }
    if (sink->device_ == 0) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_PauseAudioDevice(sink->device_, 0);
    return sink;
}

SdlAudioSink::SdlAudioSink(WaveQueue& queue) : queue_(queue) {}

SdlAudioSink::~SdlAudioSink()
{
    if (device_ != 0)
        SDL_CloseAudioDevice(device_);
}

void SdlAudioSink::callback(void* self, std::uint8_t* stream, int length)
{
    SdlAudioSink& sink = *static_cast<SdlAudioSink*>(self);
    const int channels = sink.queue_.format().channels;
    sink.fill(reinterpret_cast<std::int16_t*>(stream), length / static_cast<int>(sizeof(std::int16_t)) / channels);
}

void SdlAudioSink::fill(std::int16_t* out, int frames)
{
    const PcmFormat& format = queue_.format();
    const int sample_bytes = format.bits / 8;
    sound_.resize(static_cast<std::size_t>(frames) * format.block_align());
    const std::size_t taken = queue_.take(sound_.data(), sound_.size());
    const std::size_t samples = taken / sample_bytes;
    const std::uint16_t volume[2] = {queue_.volume(0), queue_.volume(1)};
    for (std::size_t i = 0; i < samples; ++i) {
        const int value = sample_at(&sound_[i * sample_bytes], sample_bytes);
        out[i] = static_cast<std::int16_t>(value * volume[(i % format.channels) % 2] / 65535);
    }
    std::memset(out + samples, 0, (static_cast<std::size_t>(frames) * format.channels - samples) * sizeof(std::int16_t));
}

} // namespace platform
