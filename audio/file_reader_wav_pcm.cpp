#include "audio/file_reader_wav_pcm.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace audio {
namespace {

// One read never allocates more than this, whatever count and frame size ask for.
constexpr int64_t max_read_bytes = 1 << 20;
// Frames per read while pumping, so that a stop request is seen often.
constexpr int pump_step_frames = 5000;

} // namespace

FileReaderWAVPCM::FileReaderWAVPCM(std::u16string_view path) : FileReaderWAV(path)
{
    open_with(info_);
    if (is_open())
        conversion_ = PCMConversion(info_);
}

int FileReaderWAVPCM::channels()
{
    liba::Lock lock(reader_lock());
    return conversion_.channels();
}

int FileReaderWAVPCM::bits_per_sample()
{
    liba::Lock lock(reader_lock());
    return conversion_.bits();
}

int FileReaderWAVPCM::seconds_to_position(double seconds)
{
    if (info_.block_align == 0)
        return 0;
    const int64_t most_frames = std::numeric_limits<int32_t>::max() / info_.block_align;
    const int64_t frames = std::clamp<int64_t>(truncate_to_int(info_.sample_rate * seconds), -most_frames, most_frames);
    return static_cast<int>(frames * info_.block_align);
}

double FileReaderWAVPCM::position_to_seconds(int position)
{
    if (info_.block_align == 0 || info_.sample_rate == 0)
        return 0;
    return double(position) / info_.block_align / info_.sample_rate;
}

int FileReaderWAVPCM::length()
{
    liba::Lock lock(reader_lock());
    if (info_.block_align == 0)
        return 0;
    // A header may claim more data than the file holds; the length is what can be read,
    // in whole sample frames.
    const int64_t bytes = std::min<int64_t>(info_.data_size, data_available());
    return static_cast<int>(bytes - bytes % info_.block_align);
}

int FileReaderWAVPCM::position()
{
    liba::Lock lock(reader_lock());
    return position_;
}

void FileReaderWAVPCM::seek(int position)
{
    liba::Lock lock(reader_lock());
    if (!is_open() || info_.block_align == 0)
        return;
    const int limited = std::clamp(position, 0, length());
    position_ = limited - limited % info_.block_align;
    file().seek(info_.data_start + position_);
}

bool FileReaderWAVPCM::pump_seconds(double seconds) { return pump(seconds_to_position(seconds)); }

bool FileReaderWAVPCM::pump(int n)
{
    if (!is_open() || info_.block_align == 0)
        return false;
    int frames = n / info_.block_align;
    while (frames >= 1) {
        // The reader's lock is taken per read, not across the push, so the consumer's
        // lock is never taken while this one is held.
        const PCMData block = read(std::min(frames, pump_step_frames));
        if (block.empty())
            return false;
        push(block);
        frames -= block.frames();
    }
    return true;
}

PCMData FileReaderWAVPCM::read(int count)
{
    liba::Lock lock(reader_lock());
    const int align = info_.block_align;
    if (!is_open() || align == 0 || count <= 0)
        return PCMData();
    const int64_t wanted = std::min<int64_t>(int64_t{count} * align, max_read_bytes);
    const int64_t bytes = std::min<int64_t>(wanted, length() - position_);
    const int32_t whole = static_cast<int32_t>(bytes / align * align);
    if (whole <= 0)
        return PCMData();
    liba::ByteBlock block(whole);
    if (file().read(block.writable(), whole) != whole) {
        file().seek(info_.data_start + position_);
        return PCMData();
    }
    position_ += whole;
    if (conversion_.is_needed())
        return PCMData(conversion_.convert(block.data(), whole / align), conversion_.channels(), conversion_.bits(),
                       info_.sample_rate);
    return PCMData(block, info_.channels, info_.bits_per_sample, info_.sample_rate);
}

} // namespace audio
