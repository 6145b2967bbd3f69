#include "audio/wav_info_gsm.h"

#include "audio/wav_fields.h"
#include "os/file.h"

namespace audio {
namespace {

constexpr uint16_t format_tag_gsm = 49;
constexpr int32_t gsm_sample_rate = 8000;
constexpr uint16_t gsm_samples_per_block = 320;
constexpr uint16_t gsm_block_align = 65;

} // namespace

bool WAVInfoGSM::read_extension(os::File& file)
{
    using namespace wav_fields;
    uint16_t extra_size = 0;
    uint32_t fact_size = 0;
    if (!read_u16(file, extra_size) || !read_u16(file, samples_per_block) || !skip_rest_of_fmt(file, fmt_size) ||
        !find_chunk(file, "fact", fact_size) || !read_u32(file, fact_samples))
        return false;
    return format_tag == format_tag_gsm && channels == 1 && sample_rate == gsm_sample_rate &&
           samples_per_block == gsm_samples_per_block && block_align == gsm_block_align;
}

bool WAVInfoGSM::write_extension(os::File& file)
{
    using namespace wav_fields;
    return write_u16(file, 2) && write_u16(file, samples_per_block) && write_id(file, "fact") && write_u32(file, 4) &&
           write_u32(file, fact_samples);
}

} // namespace audio
