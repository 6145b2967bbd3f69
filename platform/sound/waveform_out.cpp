#include "platform/sound/waveform_out.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/sound/audio_out_null.h"
#include "platform/sound/audio_out_wav.h"
#include "platform/sound/audio_output.h"
#include "platform/sound/sdl/sdl_audio_out.h"
#include "platform/sound/wave_queue.h"

namespace platform {

namespace {

std::uintptr_t next_device_id()
{
    static std::atomic<std::uintptr_t> last{0};
    return ++last;
}

// The sound output goes silent for the rest of the run, with one line saying why.
std::unique_ptr<AudioSink> silent_instead(WaveQueue& queue, const std::string& reason)
{
    std::fprintf(stderr, "%s: warning: %s; playing without sound\n", program_invocation_short_name, reason.c_str());
    choose_audio_output(AudioOutput{AudioOutput::Kind::null, {}, 1.0});
    return std::make_unique<NullAudioSink>(queue, 1.0);
}

std::unique_ptr<AudioSink> open_sink(WaveQueue& queue)
{
    const AudioOutput output = chosen_audio_output();
    switch (output.kind) {
    case AudioOutput::Kind::sdl: {
        std::string error;
        if (auto sink = SdlAudioSink::open(queue, error))
            return sink;
        return silent_instead(queue, "no sound device can be opened (" + error + ")");
    }
    case AudioOutput::Kind::wav:
        if (auto recording = recording_for(output.wav_path, queue.format()))
            return std::make_unique<NullAudioSink>(queue, output.speed, recording);
        return silent_instead(queue, "cannot record sound to " + output.wav_path);
    case AudioOutput::Kind::null:
        break;
    }
    return std::make_unique<NullAudioSink>(queue, output.speed);
}

} // namespace

bool PcmFormat::is_playable() const
{
    const bool known_width = bits == 8 || bits == 16 || bits == 24 || bits == 32;
    return known_width && channels >= 1 && channels <= 8 && sample_rate >= 1 && sample_rate <= 768000;
}

std::unique_ptr<WaveformOut> WaveformOut::open(const PcmFormat& format, ThreadId notify)
{
    if (!format.is_playable())
        return nullptr;
    std::unique_ptr<WaveformOut> device(new WaveformOut(format, notify));
    device->sink_ = open_sink(*device->queue_);
    device->queue_->post(messages::wave_out_open);
    return device;
}

WaveformOut::WaveformOut(const PcmFormat& format, ThreadId notify)
    : id_(next_device_id()), format_(format), queue_(std::make_unique<WaveQueue>(format, id_, notify))
{
}

WaveformOut::~WaveformOut()
{
    reset();
    close();
}

bool WaveformOut::prepare(WaveBuffer& buffer)
{
    if (buffer.length > 0 && !buffer.data)
        return false;
    buffer.prepared = true;
    return true;
}

bool WaveformOut::unprepare(WaveBuffer& buffer)
{
    if (queue_->holds(buffer))
        return false;
    buffer.prepared = false;
    return true;
}

bool WaveformOut::write(WaveBuffer& buffer)
{
    return buffer.prepared && queue_->write(buffer);
}

void WaveformOut::reset()
{
    queue_->reset();
}

bool WaveformOut::close()
{
    if (!sink_)
        return true;
    if (!queue_->close())
        return false;
    sink_.reset();
    queue_->post(messages::wave_out_close);
    return true;
}

std::optional<std::int64_t> WaveformOut::position() const
{
    return queue_->position();
}

void WaveformOut::set_volume(std::uint16_t left, std::uint16_t right)
{
    queue_->set_volume(left, right);
}

} // namespace platform
