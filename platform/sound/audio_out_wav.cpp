#include "platform/sound/audio_out_wav.h"

#include <array>

namespace platform {

namespace {

constexpr std::uint32_t header_size = 44;
constexpr std::uint32_t largest_data = 0xFFFF'FFFFu - header_size;

void put16(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value)
{
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

std::string numbered_path(const std::string& path, int number)
{
    if (number == 1)
        return path;
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool has_extension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    const std::size_t cut = has_extension ? dot : path.size();
    return path.substr(0, cut) + "-" + std::to_string(number) + path.substr(cut);
}

} // namespace

std::shared_ptr<WavFile> WavFile::create(const std::string& path, const PcmFormat& format)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return nullptr;
    std::shared_ptr<WavFile> wav(new WavFile(file, path, format));
    std::lock_guard lock(wav->mutex_);
    return wav->write_header() ? wav : nullptr;
}

WavFile::WavFile(std::FILE* file, std::string path, const PcmFormat& format)
    : file_(file), path_(std::move(path)), format_(format)
{
}

WavFile::~WavFile() { std::fclose(file_); }

bool WavFile::write_header()
{
    std::array<std::uint8_t, header_size> header{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
        'f', 'm', 't', ' ', 16, 0, 0, 0};
    put32(&header[4], header_size - 8 + data_size_);
    put16(&header[20], 1);
    put16(&header[22], static_cast<std::uint32_t>(format_.channels));
    put32(&header[24], static_cast<std::uint32_t>(format_.sample_rate));
    put32(&header[28], static_cast<std::uint32_t>(format_.bytes_per_second()));
    put16(&header[32], static_cast<std::uint32_t>(format_.block_align()));
    put16(&header[34], static_cast<std::uint32_t>(format_.bits));
    header[36] = 'd';
    header[37] = 'a';
    header[38] = 't';
    header[39] = 'a';
    put32(&header[40], data_size_);
    return std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(header.data(), 1, header.size(), file_) == header.size() &&
           std::fseek(file_, 0, SEEK_END) == 0 && std::fflush(file_) == 0;
}

bool WavFile::append(const std::uint8_t* bytes, std::size_t count)
{
    std::lock_guard lock(mutex_);
    // A WAV file cannot describe more; the recording ends there.
    if (count > largest_data - data_size_)
        return false;
    if (std::fwrite(bytes, 1, count, file_) != count)
        return false;
    data_size_ += static_cast<std::uint32_t>(count);
    return write_header();
}

std::shared_ptr<WavFile> recording_for(const std::string& path, const PcmFormat& format)
{
    static std::mutex mutex;
    static std::string recorded_path;
    static std::shared_ptr<WavFile> current;
    static int files = 0;

    std::lock_guard lock(mutex);
    if (path != recorded_path) {
        recorded_path = path;
        current = nullptr;
        files = 0;
    }
    if (current && current->format() == format)
        return current;
    current = WavFile::create(numbered_path(path, files + 1), format);
    if (current)
        ++files;
    return current;
}

} // namespace platform
