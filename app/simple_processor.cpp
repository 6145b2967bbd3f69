#include "app/simple_processor.h"

#include <algorithm>

bool fraction_greater(Fraction a, Fraction b)
{
    if (a.denominator == 0)
        return false;
    if (b.denominator == 0)
        return true;
    // a.n / a.d > b.n / b.d  <=>  a.n * b.d > b.n * a.d when a.d * b.d > 0, reversed otherwise.
    const int64_t left = int64_t{a.numerator} * b.denominator;
    const int64_t right = int64_t{b.numerator} * a.denominator;
    const bool same_sign = (a.denominator > 0) == (b.denominator > 0);
    return same_sign ? left > right : left < right;
}

audio::PCMData SimpleProcessor::process(const audio::PCMData& in)
{
    const int32_t width = in.bits / 8;
    const int32_t frames = in.frames();
    const int32_t channels = in.channels;
    if (channels <= 0 || in.empty() || frames == 0 || (width != 1 && width != 2))
        return in;

    audio::PCMData out(liba::ByteBlock(frames * 2), 1, 16, in.sample_rate);
    uint8_t* target = out.writable();
    const uint8_t* source = in.data();
    for (int32_t frame = 0; frame < frames; ++frame) {
        int32_t sum = 0;
        for (int32_t channel = 0; channel < channels; ++channel) {
            if (width == 1) {
                sum += *source * 256 - 32768;
            } else {
                sum += static_cast<int16_t>(source[0] | (source[1] << 8));
            }
            source += width;
        }
        const Fraction level{sum, channels * (sum < 0 ? -32768 : 32767)};
        if (sum != 0 && fraction_greater(level, peak_))
            peak_ = level;
        int64_t scaled = sum;
        if (gain_.denominator != 0)
            scaled = scaled * gain_.numerator / gain_.denominator;
        const int64_t value = std::clamp<int64_t>(scaled / channels, -32768, 32767);
        target[0] = static_cast<uint8_t>(value & 0xFF);
        target[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
        target += 2;
    }
    return out;
}
