#include "audio/decoder_mp3.h"

#include <algorithm>
#include <cstdint>
#include <mad.h>

#include "audio/mp3_header.h"

namespace audio {

struct DecoderMP3::Mad {
    Mad()
    {
        mad_stream_init(&stream);
        mad_frame_init(&frame);
        mad_synth_init(&synth);
    }
    ~Mad()
    {
        mad_synth_finish(&synth);
        mad_frame_finish(&frame);
        mad_stream_finish(&stream);
    }

    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
};

namespace {

bool is_supported_rate(int32_t rate)
{
    constexpr int32_t rates[] = {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000};
    return std::find(std::begin(rates), std::end(rates), rate) != std::end(rates);
}

// Turns libmad's fixed-point samples (28 fractional bits) into 16 bits, carrying each
// sample's truncation remainder into the next one. Only the remainder is carried, not
// the overshoot of a clipped sample, so a clipped peak does not push its neighbours.
void convert_channel(const mad_fixed_t* samples, int count, int channel, int channels, uint8_t* out)
{
    constexpr int64_t lowest = -0x10000000;
    constexpr int64_t highest = 0x0FFFFFFF;
    int64_t error = 0;
    for (int i = 0; i < count; ++i) {
        const int64_t limited = std::clamp<int64_t>(int64_t{samples[i]} + error, lowest, highest);
        const int64_t truncated = limited & ~int64_t{0x1FFF};
        error = limited - truncated;
        const int16_t value = static_cast<int16_t>(truncated >> 13);
        uint8_t* target = out + (i * channels + channel) * 2;
        target[0] = static_cast<uint8_t>(value & 0xFF);
        target[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
    }
}

} // namespace

DecoderMP3::DecoderMP3() : mad_(std::make_unique<Mad>()) {}

DecoderMP3::~DecoderMP3() = default;

PCMData DecoderMP3::decode(const MP3Data& in)
{
    MP3Header header;
    if (in.length() < 4 || !parse_mp3_header(in.data(), header) || !is_supported_rate(header.sample_rate))
        return PCMData();

    mad_stream_buffer(&mad_->stream, in.data(), static_cast<unsigned long>(in.length()));
    if (mad_frame_decode(&mad_->frame, &mad_->stream) != 0)
        return PCMData();
    mad_->frame.options &= ~MAD_OPTION_HALFSAMPLERATE;
    mad_synth_frame(&mad_->synth, &mad_->frame);
    if (in.warm_up)
        return PCMData();

    const mad_pcm& pcm = mad_->synth.pcm;
    const int channels = pcm.channels;
    const int samples = pcm.length;
    if (channels != header.channels || samples > header.samples_per_frame || samples == 0)
        return PCMData();

    liba::ByteBlock bytes(samples * channels * 2);
    uint8_t* out = bytes.writable();
    for (int channel = 0; channel < channels; ++channel)
        convert_channel(pcm.samples[channel], samples, channel, channels, out);
    return PCMData(bytes, channels, 16, header.sample_rate);
}

} // namespace audio
