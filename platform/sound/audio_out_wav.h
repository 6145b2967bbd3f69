#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "liba/nocopy.h"
#include "platform/sound/waveform_out.h"

namespace platform {

// A PCM WAV file being recorded. The header's sizes are brought up to date after every
// append, so the file is a complete WAV file whenever nothing is being appended.
class WavFile : liba::Nocopy {
public:
    // Null when the file cannot be created.
    static std::shared_ptr<WavFile> create(const std::string& path, const PcmFormat& format);
    ~WavFile();

    const PcmFormat& format() const { return format_; }
    const std::string& path() const { return path_; }
    bool append(const std::uint8_t* bytes, std::size_t count);

private:
    WavFile(std::FILE* file, std::string path, const PcmFormat& format);
    bool write_header();

    std::mutex mutex_;
    std::FILE* const file_;
    const std::string path_;
    const PcmFormat format_;
    std::uint32_t data_size_ = 0;
};

// The recording of the wav: output. Devices of one format add to one file; a device of
// another format starts the next file: PATH, then PATH with "-2", "-3", ... before its
// extension. A recording to a new PATH starts afresh.
std::shared_ptr<WavFile> recording_for(const std::string& path, const PcmFormat& format);

} // namespace platform
