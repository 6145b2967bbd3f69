#include "audio/decoder_adpcm.h"

#include <algorithm>
#include <cstdint>

namespace audio {
namespace {

struct Coefficients {
    int32_t first;
    int32_t second;
};

// The standard predictor pairs. Files carry a copy of them, but every file in the
// format uses these, and decoding with them keeps a damaged table from mattering.
constexpr Coefficients standard_coefficients[7] = {{256, 0},   {512, -256}, {0, 0},     {192, 64},
                                                   {240, 0},   {460, -208}, {392, -232}};

constexpr int32_t adaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                    768, 614, 512, 409, 307, 230, 230, 230};

constexpr int max_predictor = 6;

// A run of large codes in a damaged block multiplies the delta without end. Encoders
// keep it far below this cap, where every nonzero code already reaches full scale;
// the cap keeps delta × code inside 32 bits.
constexpr int32_t max_delta = 1 << 24;

int16_t read_i16(const uint8_t* bytes) { return static_cast<int16_t>(bytes[0] | bytes[1] << 8); }

// The running state of one channel.
class Channel {
public:
    Channel(int predictor, int16_t delta, int16_t sample1, int16_t sample2)
        : coefficients_(standard_coefficients[predictor]), delta_(delta), sample1_(sample1), sample2_(sample2)
    {
    }

    int16_t sample1() const { return sample1_; }
    int16_t sample2() const { return sample2_; }

    int16_t expand(int code)
    {
        const int32_t prediction = (sample1_ * coefficients_.first + sample2_ * coefficients_.second) >> 8;
        const int32_t signed_code = code < 8 ? code : code - 16;
        const int32_t sample = std::clamp(prediction + delta_ * signed_code, -32768, 32767);
        sample2_ = sample1_;
        sample1_ = static_cast<int16_t>(sample);
        const int64_t scaled = int64_t{adaptation[code]} * delta_;
        delta_ = scaled < 4096 ? 16 : static_cast<int32_t>(std::min<int64_t>(scaled >> 8, max_delta));
        return sample1_;
    }

private:
    Coefficients coefficients_;
    int32_t delta_;
    int16_t sample1_;
    int16_t sample2_;
};

void write_sample(uint8_t* out, int16_t sample)
{
    out[0] = static_cast<uint8_t>(sample);
    out[1] = static_cast<uint8_t>(static_cast<uint16_t>(sample) >> 8);
}

void decode_mono(const uint8_t* block, int samples, uint8_t* out)
{
    if (block[0] > max_predictor)
        return;
    Channel channel(block[0], read_i16(block + 1), read_i16(block + 3), read_i16(block + 5));
    write_sample(out, channel.sample2());
    write_sample(out + 2, channel.sample1());
    const uint8_t* codes = block + 7;
    for (int i = 2; i < samples; i += 2, ++codes) {
        write_sample(out + 2 * i, channel.expand(*codes >> 4));
        if (i + 1 < samples)
            write_sample(out + 2 * (i + 1), channel.expand(*codes & 0x0F));
    }
}

void decode_stereo(const uint8_t* block, int frames, uint8_t* out)
{
    if (block[0] > max_predictor || block[1] > max_predictor)
        return;
    Channel left(block[0], read_i16(block + 2), read_i16(block + 6), read_i16(block + 10));
    Channel right(block[1], read_i16(block + 4), read_i16(block + 8), read_i16(block + 12));
    write_sample(out, left.sample2());
    write_sample(out + 2, right.sample2());
    write_sample(out + 4, left.sample1());
    write_sample(out + 6, right.sample1());
    const uint8_t* codes = block + 14;
    for (int i = 2; i < frames; ++i, ++codes) {
        write_sample(out + 4 * i, left.expand(*codes >> 4));
        write_sample(out + 4 * i + 2, right.expand(*codes & 0x0F));
    }
}

} // namespace

int adpcm_samples_per_block(int channels, int block_align)
{
    if (channels < 1 || channels > 2)
        return 0;
    return (block_align - 7 * channels) * 8 / (channels * 4) + 2;
}

PCMData DecoderADPCM::decode(const ADPCMData& in)
{
    const int channels = in.channels;
    const int align = in.block_align;
    const int samples = adpcm_samples_per_block(channels, align);
    if (in.bits != 4 || align <= 0 || samples < 3)
        return PCMData();
    const int blocks = in.length() / align;
    const int frame_bytes = channels * 2;
    const int64_t out_bytes = int64_t{blocks} * samples * frame_bytes;
    if (blocks == 0 || out_bytes > INT32_MAX)
        return PCMData();
    liba::ByteBlock out(static_cast<int32_t>(out_bytes));
    out.fill(0);
    uint8_t* frames = out.writable();
    for (int i = 0; i < blocks; ++i) {
        const uint8_t* block = in.data() + i * align;
        uint8_t* target = frames + i * samples * frame_bytes;
        if (channels == 1)
            decode_mono(block, samples, target);
        else
            decode_stereo(block, samples, target);
    }
    return PCMData(out, channels, 16, in.sample_rate);
}

} // namespace audio
