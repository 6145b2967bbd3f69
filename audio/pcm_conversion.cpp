#include "audio/pcm_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/wav_info.h"

namespace audio {
namespace {

// Speaker position bits of WAVE_FORMAT_EXTENSIBLE's channel mask, by side.
constexpr uint32_t left_speakers =
    0x1 | 0x10 | 0x40 | 0x200 | 0x1000 | 0x8000; // front, back, front centre, side, top front, top back
constexpr uint32_t right_speakers = 0x2 | 0x20 | 0x80 | 0x400 | 0x4000 | 0x20000;
// Files without a mask hold their channels in the order of the speaker bits.
constexpr int known_speakers = 18;

template <class Value> Value little_endian(const uint8_t* bytes)
{
    Value value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

int32_t from_float(double value)
{
    if (!(value == value))
        return 0;
    return static_cast<int32_t>(std::lround(std::clamp(value * 32768.0, -32768.0, 32767.0)));
}

} // namespace

PCMConversion::PCMConversion(const WAVInfoPCM& info)
    : in_channels_(info.channels)
    , sample_bytes_((info.bits_per_sample + 7) / 8)
{
    if (info.floating_point)
        kind_ = sample_bytes_ == 8 ? Kind::float64 : Kind::float32;
    else
        kind_ = sample_bytes_ == 1 ? Kind::unsigned8
            : sample_bytes_ == 2   ? Kind::signed16
            : sample_bytes_ == 3   ? Kind::signed24
                                   : Kind::signed32;
    const bool engine_kind = kind_ == Kind::unsigned8 || kind_ == Kind::signed16;
    needed_ = !engine_kind || in_channels_ > 2;
    out_channels_ = std::min(in_channels_, 2);
    out_bits_ = needed_ ? 16 : info.bits_per_sample;
    if (in_channels_ <= 2)
        return;

    // Channels take the mask's speakers in the order of their bits; channels the mask
    // does not cover go into both sides.
    uint32_t mask = info.channel_mask;
    if (mask == 0)
        mask = in_channels_ >= known_speakers ? (1u << known_speakers) - 1 : (1u << in_channels_) - 1;
    for (int channel = 0; channel < in_channels_; ++channel) {
        const uint32_t speaker = mask & (~mask + 1);
        mask &= ~speaker;
        const Side side = (speaker & left_speakers) ? Side::left
            : (speaker & right_speakers)            ? Side::right
                                                    : Side::both;
        sides_.push_back(side);
        left_count_ += side != Side::right;
        right_count_ += side != Side::left;
    }
}

int32_t PCMConversion::sample(const uint8_t* bytes) const
{
    switch (kind_) {
    case Kind::unsigned8:
        return (int32_t{bytes[0]} - 128) * 256;
    case Kind::signed16:
        return little_endian<int16_t>(bytes);
    case Kind::signed24:
        return static_cast<int32_t>(uint32_t{bytes[0]} << 8 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 24) >>
            16;
    case Kind::signed32:
        return little_endian<int32_t>(bytes) >> 16;
    case Kind::float32:
        return from_float(little_endian<float>(bytes));
    case Kind::float64:
        return from_float(little_endian<double>(bytes));
    }
    return 0;
}

liba::ByteBlock PCMConversion::convert(const uint8_t* frames, int32_t count) const
{
    liba::ByteBlock block(count * out_channels_ * 2);
    auto* out = reinterpret_cast<int16_t*>(block.writable());
    const int frame_bytes = in_channels_ * sample_bytes_;
    for (int32_t frame = 0; frame < count; ++frame, frames += frame_bytes) {
        if (sides_.empty()) {
            for (int channel = 0; channel < in_channels_; ++channel)
                *out++ = static_cast<int16_t>(sample(frames + channel * sample_bytes_));
            continue;
        }
        int64_t left = 0, right = 0;
        for (int channel = 0; channel < in_channels_; ++channel) {
            const int32_t value = sample(frames + channel * sample_bytes_);
            left += sides_[channel] != Side::right ? value : 0;
            right += sides_[channel] != Side::left ? value : 0;
        }
        // A side without speakers of its own repeats the other one.
        const int64_t left_value = left_count_ ? left / left_count_ : right / right_count_;
        const int64_t right_value = right_count_ ? right / right_count_ : left_value;
        *out++ = static_cast<int16_t>(left_value);
        *out++ = static_cast<int16_t>(right_value);
    }
    return block;
}

} // namespace audio
