#pragma once

#include <string_view>

#include "audio/blocks.h"
#include "audio/file_reader_wav_blocks.h"
#include "audio/wav_info_adpcm.h"

namespace audio {

// Microsoft ADPCM WAV files, handed out as whole coded blocks for DecoderADPCM.
class FileReaderWAVADPCM : public FileReaderWAVBlocks<ADPCMData> {
public:
    explicit FileReaderWAVADPCM(std::u16string_view path);

    const WAVInfo& wav_info() const override { return info_; }

protected:
    int samples_per_block() const override { return info_.samples_per_block; }
    uint32_t fact_samples() const override { return info_.fact_samples; }
    ADPCMData make_block(const liba::ByteBlock& bytes) const override;

private:
    WAVInfoADPCM info_;
};

} // namespace audio
