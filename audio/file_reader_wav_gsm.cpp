#include "audio/file_reader_wav_gsm.h"

namespace audio {
namespace {

// Blocks per read while pumping.
constexpr int pump_step_blocks = 10;

} // namespace

FileReaderWAVGSM::FileReaderWAVGSM(std::u16string_view path) : FileReaderWAVBlocks<GSMData>(path, pump_step_blocks)
{
    open_with(info_);
}

} // namespace audio
