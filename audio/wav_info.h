#pragma once

#include <cstdint>
#include <string_view>

namespace os {
class File;
}

namespace audio {

// The format of a WAV file, as its RIFF header gives it. A record decides, through
// read_extension, whether it accepts the file's format.
class WAVInfo {
public:
    virtual ~WAVInfo() = default;
    // Reads the format-specific bytes that follow the 16 common fmt bytes and answers
    // whether this record accepts the file.
    virtual bool read_extension(os::File& file) = 0;
    // Writes the format-specific bytes; the reverse of read_extension.
    virtual bool write_extension(os::File& file) = 0;

    int32_t channels = 0;
    int32_t bits_per_sample = 0;
    int32_t sample_rate = 0;
    uint16_t format_tag = 0;
    int32_t average_bytes_per_second = 0;
    uint16_t block_align = 0;
    uint32_t riff_size = 0;
    uint32_t fmt_size = 0;
    uint32_t data_size = 0;
    int32_t data_start = 0;
};

// Uncompressed samples with a consistent frame layout: integer PCM (format tag 1) of
// up to 32 bits, IEEE floating point (tag 3) of 32 or 64 bits, and either of them in
// WAVE_FORMAT_EXTENSIBLE (tag 0xFFFE, its sub-format naming the kind).
class WAVInfoPCM : public WAVInfo {
public:
    bool read_extension(os::File& file) override;
    bool write_extension(os::File& file) override;

    bool floating_point = false;
    // The speakers of the channels, in the order of their bits (WAVE_FORMAT_EXTENSIBLE);
    // 0 when the file names none.
    uint32_t channel_mask = 0;
};

// Walks the RIFF/WAVE header from the start of file: "fmt " must be the first chunk;
// the data chunk may come after any others. A data size of 0, as streaming recorders
// leave it, stands for the rest of the file. Fills info and leaves the file at the
// first data byte. False when the file is not a WAV file info accepts.
bool read_wav_header(os::File& file, WAVInfo& info);

// Looks for the chunk id from the file's current offset, skipping other chunks (and
// the pad byte after an odd size). When found, the file stands at the chunk's contents
// and size holds its declared size.
bool find_chunk(os::File& file, std::string_view id, uint32_t& size);

} // namespace audio
