#include "audio/mp3_header.h"

namespace audio {
namespace {

// Kilobits per second by bit-rate index; MPEG-2.5 uses the MPEG-2 rows.
constexpr int32_t mpeg1_bit_rates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
constexpr int32_t mpeg2_bit_rates[3][16] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};
constexpr int32_t sample_rates[3][3] = {
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
};

} // namespace

bool parse_mp3_header(const uint8_t* bytes, MP3Header& header)
{
    const uint32_t h = uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    const uint32_t layer_bits = (h >> 17) & 3;
    const uint32_t bit_rate_index = (h >> 12) & 15;
    const uint32_t sample_rate_index = (h >> 10) & 3;
    if (h < 0xFFE00000 || layer_bits == 0 || bit_rate_index == 0 || bit_rate_index == 15 || sample_rate_index == 3)
        return false;

    MP3Header parsed;
    parsed.version = (h & 1u << 20) ? ((h & 1u << 19) ? 1 : 2) : 3;
    parsed.layer = 4 - static_cast<int32_t>(layer_bits);
    const auto& bit_rates = parsed.version == 1 ? mpeg1_bit_rates : mpeg2_bit_rates;
    parsed.bit_rate = bit_rates[parsed.layer - 1][bit_rate_index];
    parsed.sample_rate = sample_rates[parsed.version - 1][sample_rate_index];
    if (parsed.bit_rate == 0 || parsed.sample_rate == 0)
        return false;
    parsed.channels = ((h >> 6) & 3) == 3 ? 1 : 2;

    const int32_t padding = (h >> 9) & 1;
    if (parsed.layer == 1) {
        parsed.frame_length = (12000 * parsed.bit_rate / parsed.sample_rate + padding) * 4;
        parsed.samples_per_frame = 384;
    } else if (parsed.layer == 2 || parsed.version == 1) {
        parsed.frame_length = 144000 * parsed.bit_rate / parsed.sample_rate + padding;
        parsed.samples_per_frame = 1152;
    } else {
        parsed.frame_length = 72000 * parsed.bit_rate / parsed.sample_rate + padding;
        parsed.samples_per_frame = 576;
    }
    header = parsed;
    return true;
}

bool matches(const MP3Header& candidate, const MP3Header& reference)
{
    return candidate.version == reference.version && candidate.layer == reference.layer &&
           candidate.sample_rate == reference.sample_rate &&
           candidate.samples_per_frame == reference.samples_per_frame && candidate.channels == reference.channels;
}

} // namespace audio
