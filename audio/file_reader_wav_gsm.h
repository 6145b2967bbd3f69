#pragma once

#include <string_view>

#include "audio/blocks.h"
#include "audio/file_reader_wav_blocks.h"
#include "audio/wav_info_gsm.h"

namespace audio {

// GSM 6.10 WAV files (8000 Hz mono, 65-byte blocks of 320 samples), handed out as
// whole coded blocks for DecoderGSM.
class FileReaderWAVGSM : public FileReaderWAVBlocks<GSMData> {
public:
    explicit FileReaderWAVGSM(std::u16string_view path);

    const WAVInfo& wav_info() const override { return info_; }

protected:
    int samples_per_block() const override { return info_.samples_per_block; }
    uint32_t fact_samples() const override { return info_.fact_samples; }
    GSMData make_block(const liba::ByteBlock& bytes) const override { return GSMData(bytes); }

private:
    WAVInfoGSM info_;
};

} // namespace audio
