#include "audio/encoder_mp3.h"

#include <algorithm>
#include <cstring>
#include <lame/lame.h>
#include <vector>

namespace audio {

EncoderMP3::EncoderMP3(int bit_rate) : bit_rate_(bit_rate) {}

EncoderMP3::~EncoderMP3()
{
    if (context_)
        lame_close(context_);
}

bool EncoderMP3::open_context()
{
    pending_ = 0;
    context_ = lame_init();
    if (!context_)
        return false;
    lame_set_bWriteVbrTag(context_, 0);
    lame_set_in_samplerate(context_, sample_rate_);
    lame_set_num_channels(context_, channels_);
    lame_set_brate(context_, bit_rate_ / 1000);
    if (lame_init_params(context_) < 0) {
        lame_close(context_);
        context_ = nullptr;
        return false;
    }
    return true;
}

void EncoderMP3::close_context()
{
    if (!context_)
        return;
    if (pending_ >= bytes_per_frame())
        encode_staged(pending_ / bytes_per_frame());
    pending_ = 0;
    keep_output(lame_encode_flush(context_, output_, output_bytes));
    lame_close(context_);
    context_ = nullptr;
}

void EncoderMP3::on_data(const PCMData& block)
{
    {
        liba::Lock lock(consumer_lock());
        stage(block);
    }
    push_encoded();
}

void EncoderMP3::stage(const PCMData& block)
{
    if (block.empty() || block.sample_rate <= 0 || (block.bits != 8 && block.bits != 16) ||
        (block.channels != 1 && block.channels != 2))
        return;
    if (block.channels != channels_ || block.sample_rate != sample_rate_ || block.bits != bits_) {
        close_context();
        channels_ = block.channels;
        sample_rate_ = block.sample_rate;
        bits_ = block.bits;
    }
    if (!context_ && !open_context())
        return;

    const int frame_size = lame_get_framesize(context_);
    const int frame_bytes = frame_size * bytes_per_frame();
    if (frame_size <= 0 || frame_size > max_frame_samples)
        return;

    const uint8_t* bytes = block.data();
    int remaining = block.length();
    while (pending_ + remaining > frame_bytes) {
        const int taken = frame_bytes - pending_;
        std::memcpy(staging_ + pending_, bytes, static_cast<size_t>(taken));
        bytes += taken;
        remaining -= taken;
        encode_staged(frame_size);
        pending_ = 0;
    }
    std::memcpy(staging_ + pending_, bytes, static_cast<size_t>(remaining));
    pending_ += remaining;
}

void EncoderMP3::finish()
{
    {
        liba::Lock lock(consumer_lock());
        close_context();
    }
    push_encoded();
}

void EncoderMP3::push_encoded()
{
    std::vector<MP3Data> frames;
    {
        liba::Lock lock(consumer_lock());
        frames.swap(encoded_);
    }
    for (const MP3Data& frame : frames)
        push(frame);
}

void EncoderMP3::encode_staged(int samples)
{
    const bool stereo = channels_ == 2;
    for (int i = 0; i < samples; ++i) {
        for (int channel = 0; channel < channels_; ++channel) {
            const int sample_index = i * channels_ + channel;
            int16_t value;
            if (bits_ == 16) {
                const uint8_t* sample = staging_ + sample_index * 2;
                value = static_cast<int16_t>(sample[0] | sample[1] << 8);
            } else {
                value = static_cast<int16_t>((staging_[sample_index] - 128) * 256);
            }
            (channel == 0 ? left_ : right_)[i] = value;
        }
        if (!stereo)
            right_[i] = 0;
    }
    keep_output(lame_encode_buffer(context_, left_, right_, samples, output_, output_bytes));
}

void EncoderMP3::keep_output(int bytes)
{
    // No bytes is no block: an empty block would read as the end of the stream.
    if (bytes > 0)
        encoded_.push_back(MP3Data(liba::ByteBlock(bytes, output_), bytes));
}

} // namespace audio
