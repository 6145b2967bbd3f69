#include "audio/encoder_mp3.h"

#include <algorithm>
#include <cstring>
#include <lame/lame.h>
#include <vector>

namespace audio {
namespace {

template <int bits>
int16_t staged_sample(const uint8_t* staging, int index)
{
    if constexpr (bits == 16)
        return static_cast<int16_t>(staging[2 * index] | staging[2 * index + 1] << 8);
    else
        return static_cast<int16_t>((staging[index] - 128) * 256);
}

// Interleaved 8- or 16-bit PCM into one array of 16-bit samples per channel.
template <int bits>
void split_channels(const uint8_t* staging, int samples, int channels, int16_t* left, int16_t* right)
{
    if (channels == 1) {
        for (int i = 0; i < samples; ++i)
            left[i] = staged_sample<bits>(staging, i);
        return;
    }
    for (int i = 0; i < samples; ++i) {
        left[i] = staged_sample<bits>(staging, 2 * i);
        right[i] = staged_sample<bits>(staging, 2 * i + 1);
    }
}

} // namespace

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
    if (bits_ == 16)
        split_channels<16>(staging_, samples, channels_, left_, right_);
    else
        split_channels<8>(staging_, samples, channels_, left_, right_);
    // For mono LAME reads only the first array.
    keep_output(lame_encode_buffer(context_, left_, channels_ == 2 ? right_ : left_, samples, output_, output_bytes));
}

void EncoderMP3::keep_output(int bytes)
{
    // No bytes is no block: an empty block would read as the end of the stream.
    if (bytes > 0)
        encoded_.push_back(MP3Data(liba::ByteBlock(bytes, output_), bytes));
}

} // namespace audio
