#include "audio/file_reader_wav.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace audio {

FileReaderWAV::FileReaderWAV(std::u16string_view path) : file_(path, os::File::read_only) {}

void FileReaderWAV::open_with(WAVInfo& info)
{
    liba::Lock lock(lock_);
    open_ = read_wav_header(file_, info);
    available_ = open_ ? std::max(0, file_.size() - info.data_start) : 0;
}

bool FileReaderWAV::is_open()
{
    liba::Lock lock(lock_);
    return open_;
}

bool FileReaderWAV::is_eof()
{
    liba::Lock lock(lock_);
    return !open_ || position() >= length();
}

int FileReaderWAV::channels()
{
    liba::Lock lock(lock_);
    return wav_info().channels;
}

int FileReaderWAV::bits_per_sample()
{
    liba::Lock lock(lock_);
    return wav_info().bits_per_sample;
}

int FileReaderWAV::sample_rate()
{
    liba::Lock lock(lock_);
    return wav_info().sample_rate;
}

int FileReaderWAV::bit_rate()
{
    liba::Lock lock(lock_);
    const int64_t bits = int64_t{wav_info().average_bytes_per_second} * 8;
    return static_cast<int>(std::min<int64_t>(bits, std::numeric_limits<int32_t>::max()));
}

int FileReaderWAV::data_available()
{
    liba::Lock lock(lock_);
    return available_;
}

} // namespace audio
