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

namespace {

// Mixes frames of `width`-byte samples into 16-bit mono, each sum times multiplier and
// divided by divisor (truncating), clamped; gives the highest and lowest sums. The
// channel count is fixed at compile time for mono and stereo (fixed_channels), which
// lets the compiler unroll the sum.
template <int32_t width, int32_t fixed_channels>
void mix(const uint8_t* source, int32_t frames, int32_t any_channels, double multiplier, double divisor,
         uint8_t* target, int32_t& highest, int32_t& lowest)
{
    const int32_t channels = fixed_channels != 0 ? fixed_channels : any_channels;
    for (int32_t frame = 0; frame < frames; ++frame) {
        int32_t sum = 0;
        for (int32_t channel = 0; channel < channels; ++channel, source += width)
            sum += width == 1 ? *source * 256 - 32768 : static_cast<int16_t>(source[0] | (source[1] << 8));
        highest = std::max(highest, sum);
        lowest = std::min(lowest, sum);
        // The product stays below 2^53, so the correctly rounded quotient truncates
        // to the integer quotient: exact, and cheaper than a 64-bit division.
        const int64_t quotient = static_cast<int64_t>(static_cast<double>(sum) * multiplier / divisor);
        const int32_t value = static_cast<int32_t>(std::clamp<int64_t>(quotient, -32768, 32767));
        target[0] = static_cast<uint8_t>(value & 0xFF);
        target[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
        target += 2;
    }
}

} // namespace

audio::PCMData SimpleProcessor::process(const audio::PCMData& in)
{
    const int32_t width = in.bits / 8;
    const int32_t frames = in.frames();
    const int32_t channels = in.channels;
    if (channels <= 0 || in.empty() || frames == 0 || (width != 1 && width != 2))
        return in;

    audio::PCMData out(liba::ByteBlock(frames * 2), 1, 16, in.sample_rate);
    // The gain and the division by the channel count make one truncating division:
    // trunc(trunc(s * n / d) / c) = trunc(s * n / (d * c)).
    const bool gained = gain_.denominator != 0;
    const double multiplier = gained ? gain_.numerator : 1;
    const double divisor = (gained ? double(gain_.denominator) : 1.0) * channels;
    int32_t highest = 0;
    int32_t lowest = 0;
    using Mixer = void (*)(const uint8_t*, int32_t, int32_t, double, double, uint8_t*, int32_t&, int32_t&);
    constexpr Mixer mixers[2][3] = {{mix<1, 0>, mix<1, 1>, mix<1, 2>}, {mix<2, 0>, mix<2, 1>, mix<2, 2>}};
    const Mixer mixer = mixers[width - 1][channels <= 2 ? channels : 0];
    mixer(in.data(), frames, channels, multiplier, divisor, out.writable(), highest, lowest);

    // The loudest sums of either sign are the block's only candidates for the peak.
    const Fraction loudest_up{highest, channels * 32767};
    const Fraction loudest_down{lowest, channels * -32768};
    if (highest != 0 && fraction_greater(loudest_up, peak_))
        peak_ = loudest_up;
    if (lowest != 0 && fraction_greater(loudest_down, peak_))
        peak_ = loudest_down;
    return out;
}
