#include "audio/decoder_gsm.h"

#include <cstdint>
#include <cstring>

#include <gsm.h>

namespace audio {
namespace {

constexpr int block_bytes = 65;
constexpr int first_frame_bytes = 33;
constexpr int frame_samples = 160;
constexpr int output_rate = 8000;

} // namespace

DecoderGSM::DecoderGSM() : gsm_(gsm_create())
{
    int wav_layout = 1;
    gsm_option(gsm_, GSM_OPT_WAV49, &wav_layout);
}

DecoderGSM::~DecoderGSM() { gsm_destroy(gsm_); }

int DecoderGSM::units_for(int frames)
{
    return static_cast<int>((int64_t{frames} + frame_samples - 1) / frame_samples);
}

PCMData DecoderGSM::decode(const GSMData& in)
{
    const int blocks = in.length() / block_bytes;
    const int64_t out_bytes = int64_t{blocks} * 2 * frame_samples * 2;
    if (blocks == 0 || out_bytes > INT32_MAX || !gsm_)
        return PCMData();
    liba::ByteBlock out(static_cast<int32_t>(out_bytes));
    uint8_t* pcm = out.writable();
    gsm_signal samples[2 * frame_samples];
    for (int i = 0; i < blocks; ++i) {
        // libgsm takes its input as writable bytes; it gets a copy.
        gsm_byte block[block_bytes];
        std::memcpy(block, in.data() + i * block_bytes, block_bytes);
        // Both halves are always decoded, so the library's alternation stays in step.
        const bool first = gsm_decode(gsm_, block, samples) == 0;
        const bool second = gsm_decode(gsm_, block + first_frame_bytes, samples + frame_samples) == 0;
        if (!first || !second)
            std::memset(samples, 0, sizeof samples);
        uint8_t* target = pcm + i * sizeof samples;
        for (int s = 0; s < 2 * frame_samples; ++s) {
            target[2 * s] = static_cast<uint8_t>(samples[s]);
            target[2 * s + 1] = static_cast<uint8_t>(static_cast<uint16_t>(samples[s]) >> 8);
        }
    }
    return PCMData(out, 1, 16, output_rate);
}

} // namespace audio
