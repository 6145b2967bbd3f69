#pragma once

#include <cstdint>
#include <vector>

#include "audio/blocks.h"
#include "audio/encoder.h"
#include "audio/links.h"

struct lame_global_struct;

namespace audio {

// Encodes pushed 8- or 16-bit mono or stereo PCM into constant-bit-rate MP3 frames with
// LAME and pushes them on: bare frames, no tag and no information frame. The input is
// gathered into whole encoder frames; finish() encodes the rest, padded with silence,
// and ends the stream. A change of format ends the current stream and starts another.
class EncoderMP3 : public Consumer<PCMData>, public Provider<MP3Data>, public Encoder {
public:
    explicit EncoderMP3(int bit_rate);
    ~EncoderMP3() override;

    void on_data(const PCMData& block) override;
    // The encoder serves no pulls.
    MP3Data read(int) override { return MP3Data(); }
    int bit_rate() override { return bit_rate_; }

    // Encodes what is still staged and flushes the encoder; call after the last block.
    void finish();

private:
    static constexpr int max_frame_samples = 1152;
    static constexpr int staging_bytes = max_frame_samples * 2 * 2;
    static constexpr int output_bytes = 16384; // beyond LAME's worst case for one frame or a flush

    bool open_context();
    void close_context();
    int bytes_per_frame() const { return channels_ * bits_ / 8; }
    // The body of on_data, under the lock.
    void stage(const PCMData& block);
    void encode_staged(int samples);
    void keep_output(int bytes);
    // Pushes the frames encoded so far on with the lock released: a consumer's lock is
    // never held while its own consumer's is taken (links.h).
    void push_encoded();

    uint8_t staging_[staging_bytes];
    int pending_ = 0;
    int16_t left_[max_frame_samples];
    int16_t right_[max_frame_samples];
    uint8_t output_[output_bytes];
    std::vector<MP3Data> encoded_;
    lame_global_struct* context_ = nullptr;
    int bit_rate_;
    int channels_ = 0;
    int sample_rate_ = 0;
    int bits_ = 0;
};

} // namespace audio
