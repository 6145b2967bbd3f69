#pragma once

#include <memory>
#include <string_view>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/links.h"
#include "liba/thread.h"
#include "os/file.h"

struct OggVorbis_File;
struct vorbis_info;

namespace audio {

// Ogg Vorbis files, decoded to 16-bit PCM by the integer Vorbis decoder (Tremor),
// which reads the file through callbacks. Positions are sample frames; read(count)
// answers at most what one library call decodes, never more than 8192 frames.
class DecoderVorbis : public Provider<PCMData>, public FileReader {
public:
    explicit DecoderVorbis(std::u16string_view path);
    ~DecoderVorbis() override;

    bool is_open() override;
    bool is_eof() override;
    int channels() override;
    int bits_per_sample() override { return 16; }
    int sample_rate() override;
    int bit_rate() override;
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    int length() override;
    int position() override;
    void seek(int position) override;
    bool pump_seconds(double seconds) override;
    bool pump(int n) override;

    PCMData read(int count) override;

private:
    os::File file_;
    std::unique_ptr<OggVorbis_File> state_;
    vorbis_info* info_ = nullptr;
    int bit_rate_ = 0;
    liba::Mutex lock_;
};

} // namespace audio
