#include "audio/wav_info_adpcm.h"

#include "audio/decoder_adpcm.h"
#include "audio/wav_fields.h"
#include "os/file.h"

namespace audio {
namespace {

constexpr uint16_t format_tag_adpcm = 2;
constexpr uint16_t standard_pair_count = 7;

} // namespace

bool WAVInfoADPCM::read_extension(os::File& file)
{
    using namespace wav_fields;
    uint16_t extra_size = 0, pair_count = 0;
    if (!read_u16(file, extra_size) || !read_u16(file, samples_per_block) || !read_u16(file, pair_count))
        return false;
    coefficients.assign(pair_count, {});
    for (CoefficientPair& pair : coefficients) {
        if (!read_i16(file, pair.first) || !read_i16(file, pair.second))
            return false;
    }
    uint32_t fact_size = 0;
    if (!skip_rest_of_fmt(file, fmt_size) || !find_chunk(file, "fact", fact_size) || !read_u32(file, fact_samples))
        return false;
    // The decoder derives the block's sample count from its size; a header that claims
    // another count, or a block too small for any coded sample, is not this format.
    const int block_samples = adpcm_samples_per_block(channels, block_align);
    return format_tag == format_tag_adpcm && (channels == 1 || channels == 2) && bits_per_sample == 4 &&
           pair_count == standard_pair_count && block_samples > 2 && samples_per_block == block_samples;
}

bool WAVInfoADPCM::write_extension(os::File& file)
{
    using namespace wav_fields;
    const uint32_t pair_count = static_cast<uint32_t>(coefficients.size());
    bool written = write_u16(file, (pair_count + 1) * 4) && write_u16(file, samples_per_block) &&
                   write_u16(file, pair_count);
    for (const CoefficientPair& pair : coefficients)
        written = written && write_u16(file, static_cast<uint16_t>(pair.first)) &&
                  write_u16(file, static_cast<uint16_t>(pair.second));
    return written && write_id(file, "fact") && write_u32(file, 4) && write_u32(file, fact_samples);
}

} // namespace audio
