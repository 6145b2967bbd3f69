#pragma once

#include <cstdint>

#include "audio/blocks.h"
#include "audio/links.h"

// A fraction compared exactly; 0/0 is below every positive fraction.
struct Fraction {
    int32_t numerator = 0;
    int32_t denominator = 0;
};

// Shapes the PCM on its way to the ring-tone encoder: mixes 8- or 16-bit PCM down to
// mono 16-bit, keeps the peak of the unscaled channel sums, and applies a gain with
// clamping. Other sample widths pass through unchanged.
class SimpleProcessor : public audio::Processor<audio::PCMData, audio::PCMData> {
public:
    Fraction peak() const { return peak_; }
    void set_gain(int32_t numerator, int32_t denominator) { gain_ = {numerator, denominator}; }

protected:
    audio::PCMData process(const audio::PCMData& in) override;

private:
    Fraction peak_;
    Fraction gain_; // denominator 0: no gain
};

// Is a / b strictly greater than c / d? Exact, with the denominators' signs honoured;
// a zero denominator makes a fraction lower than any other.
bool fraction_greater(Fraction a, Fraction b);
