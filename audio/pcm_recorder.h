#pragma once

#include <cstdint>
#include <vector>

#include "audio/blocks.h"
#include "audio/links.h"

namespace audio {

// Passes PCM blocks on unchanged and keeps a copy of each so that they can be pushed
// again later, as long as they stay within a bound on their bytes; past the bound it
// lets go of everything and keeps nothing more. The copies hold exactly the block's
// bytes: a block may be a small view of a much larger buffer, which sharing would keep
// alive whole and so break the bound.
class PCMRecorder : public Processor<PCMData, PCMData> {
public:
    explicit PCMRecorder(int64_t max_bytes) : max_bytes_(max_bytes) {}

    // Every block that passed is kept.
    bool is_complete() const { return !overflowed_; }
    const std::vector<PCMData>& blocks() const { return blocks_; }
    int64_t bytes() const { return bytes_; }

protected:
    PCMData process(const PCMData& in) override
    {
        if (overflowed_ || in.empty())
            return in;
        if (bytes_ + in.length() > max_bytes_) {
            overflowed_ = true;
            blocks_ = {};
            bytes_ = 0;
        } else {
            blocks_.emplace_back(liba::ByteBlock(in.length(), in.data()), in.channels, in.bits, in.sample_rate);
            bytes_ += in.length();
        }
        return in;
    }

private:
    int64_t max_bytes_;
    bool overflowed_ = false;
    std::vector<PCMData> blocks_;
    int64_t bytes_ = 0;
};

} // namespace audio
