#pragma once

#include <string_view>

#include "audio/blocks.h"
#include "audio/file_reader_wav.h"
#include "audio/links.h"
#include "audio/pcm_conversion.h"

namespace audio {

// Uncompressed WAV files. Positions are bytes of the data chunk, always on whole
// sample frames; read(count) counts sample frames. The PCM delivered is 8- or 16-bit
// mono or stereo (see PCMConversion); channels() and bits_per_sample() tell its format.
class FileReaderWAVPCM : public Provider<PCMData>, public FileReaderWAV {
public:
    explicit FileReaderWAVPCM(std::u16string_view path);

    int channels() override;
    int bits_per_sample() override;

    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    int length() override;
    int position() override;
    void seek(int position) override;
    bool pump_seconds(double seconds) override;
    bool pump(int n) override;

    PCMData read(int count) override;

    const WAVInfo& wav_info() const override { return info_; }

private:
    WAVInfoPCM info_;
    PCMConversion conversion_;
    // Bytes from the data start; kept here so that queries need no system call.
    int position_ = 0;
};

} // namespace audio
