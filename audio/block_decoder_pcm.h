#pragma once

#include <algorithm>
#include <cstdint>

#include "audio/blocks.h"
#include "audio/links.h"

namespace audio {

// Decodes coded blocks (T) into PCM, both ways: blocks pushed in are decoded and pushed
// on at once; a pull of count sample frames decodes as many upstream blocks as it needs
// and keeps the decoded frames it did not hand out for the next pull.
template <class T>
class BlockDecoderPCM : public Provider<PCMData>, public Consumer<T> {
public:
    PCMData read(int count) override
    {
        liba::Lock lock(this->consumer_lock());
        while (leftover_.empty()) {
            const T in = this->pull(units_for(count));
            if (in.empty())
                break;
            leftover_ = decode(in);
        }
        const int64_t wanted = int64_t{leftover_.bytes_per_frame()} * std::max(count, 0);
        const int32_t bytes = static_cast<int32_t>(std::min<int64_t>(wanted, leftover_.length()));
        PCMData out(leftover_.sub(0, bytes), leftover_.channels, leftover_.bits, leftover_.sample_rate);
        leftover_ = PCMData(leftover_.sub(bytes, leftover_.length() - bytes), leftover_.channels, leftover_.bits,
                            leftover_.sample_rate);
        return out;
    }

    void on_data(const T& in) override
    {
        PCMData out;
        {
            liba::Lock lock(this->consumer_lock());
            out = decode(in);
        }
        this->push(out);
    }

protected:
    // The PCM of one coded block; empty when it does not decode.
    virtual PCMData decode(const T& in) = 0;
    // How many units of T to pull from upstream when `frames` sample frames are wanted.
    virtual int units_for(int frames) = 0;

private:
    PCMData leftover_;
};

} // namespace audio
