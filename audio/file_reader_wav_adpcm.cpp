#include "audio/file_reader_wav_adpcm.h"

namespace audio {
namespace {

// Blocks per read while pumping.
constexpr int pump_step_blocks = 5;

} // namespace

FileReaderWAVADPCM::FileReaderWAVADPCM(std::u16string_view path)
    : FileReaderWAVBlocks<ADPCMData>(path, pump_step_blocks)
{
    open_with(info_);
}

ADPCMData FileReaderWAVADPCM::make_block(const liba::ByteBlock& bytes) const
{
    return ADPCMData(bytes, info_.channels, info_.bits_per_sample, info_.sample_rate, info_.block_align);
}

} // namespace audio
