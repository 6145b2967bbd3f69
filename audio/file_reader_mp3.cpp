#include "audio/file_reader_mp3.h"

#include <algorithm>
#include <cstring>

namespace audio {
namespace {

// The buffer is topped up whenever fewer bytes than this are left, so that the longest
// frame (2881 bytes, MPEG-2 layer II at 8 kHz) and the bytes after it always fit.
constexpr int32_t refill_threshold = 4000;
// A block carries at least this many bytes: the frame and what follows it, because
// the decoder reads ahead into the next frame's header to find its bit reservoir.
constexpr int32_t min_block_bytes = 2000;
constexpr int32_t look_ahead_bytes = 16;

} // namespace

FileReaderMP3::FileReaderMP3(std::u16string_view path) : file_(path, os::File::read_only)
{
    liba::Lock lock(lock_);
    if (!file_.ok())
        return;
    open_ = true;
    file_size_ = file_.size();
    if (file_size_ == 0)
        return; // opens with length 0, already at its end

    for (;;) {
        MP3Header header;
        if (find_header(header)) {
            reference_ = header;
            refill();
            index_ += header.frame_length;
            MP3Header next;
            if (index_ < valid_ - 4 && parse_mp3_header(buffer_ + index_, next) && matches(next, reference_))
                break;
            if (at_end())
                break;
        } else if (refill() == 0 && index_ >= valid_ - 4) {
            open_ = false;
            return;
        }
    }
    open_ = !at_end();
    index_ = 0;
}

bool FileReaderMP3::at_end() { return offset_past_buffer_ - valid_ + index_ >= file_size_; }

int32_t FileReaderMP3::refill()
{
    if (index_ > valid_) {
        // A frame length took the index past the buffered bytes: skip them in the file.
        offset_past_buffer_ += index_ - valid_;
        file_.seek(std::min(offset_past_buffer_, file_size_));
        valid_ = index_ = 0;
    }
    const int32_t left = valid_ - index_;
    if (left >= refill_threshold)
        return 0;
    std::memmove(buffer_, buffer_ + index_, static_cast<size_t>(left));
    const int32_t got = file_.read(buffer_ + left, buffer_size - left);
    offset_past_buffer_ += got;
    valid_ = left + got;
    index_ = 0;
    return got;
}

bool FileReaderMP3::find_header(MP3Header& header)
{
    for (; index_ < valid_ - 4; ++index_) {
        if (parse_mp3_header(buffer_ + index_, header))
            return true;
    }
    index_ = valid_;
    return false;
}

bool FileReaderMP3::is_open()
{
    liba::Lock lock(lock_);
    return open_;
}

bool FileReaderMP3::is_eof()
{
    liba::Lock lock(lock_);
    return !open_ || at_end();
}

int FileReaderMP3::channels()
{
    liba::Lock lock(lock_);
    return reference_.channels;
}

int FileReaderMP3::bits_per_sample() { return 16; }

int FileReaderMP3::sample_rate()
{
    liba::Lock lock(lock_);
    return reference_.sample_rate;
}

int FileReaderMP3::bit_rate()
{
    liba::Lock lock(lock_);
    return reference_.bit_rate * 1000;
}

int FileReaderMP3::seconds_to_position(double seconds)
{
    liba::Lock lock(lock_);
    return truncate_to_int(reference_.bit_rate * seconds * 125);
}

double FileReaderMP3::position_to_seconds(int position)
{
    liba::Lock lock(lock_);
    if (reference_.bit_rate == 0)
        return 0;
    return position * 8.0 / reference_.bit_rate * 0.001;
}

int FileReaderMP3::length()
{
    liba::Lock lock(lock_);
    return file_size_;
}

int FileReaderMP3::position()
{
    liba::Lock lock(lock_);
    return offset_past_buffer_ - valid_ + index_;
}

void FileReaderMP3::seek(int position)
{
    liba::Lock lock(lock_);
    if (!open_)
        return;
    const int32_t limited = std::clamp(position, 0, file_size_);
    file_.seek(limited);
    offset_past_buffer_ = limited;
    valid_ = index_ = 0;
}

bool FileReaderMP3::pump(int n)
{
    if (!is_open())
        return false;
    const int start = position();
    while (position() - start < n) {
        // The lock is taken per read, not across the push.
        const MP3Data frame = read(0);
        if (frame.empty())
            return false;
        push(frame);
    }
    return true;
}

bool FileReaderMP3::pump_seconds(double seconds)
{
    if (!is_open())
        return false;
    const double start = position_seconds();
    while (position_seconds() - start < seconds) {
        const MP3Data frame = read(0);
        if (frame.empty())
            return false;
        push(frame);
    }
    return true;
}

MP3Data FileReaderMP3::read(int)
{
    liba::Lock lock(lock_);
    if (!open_ || at_end())
        return MP3Data();
    refill();
    MP3Header header;
    if (!find_header(header))
        return MP3Data();
    while (!matches(header, reference_)) {
        ++index_;
        if (!find_header(header))
            return MP3Data();
    }
    refill();
    // A frame that ends exactly at the end of the file is still whole.
    if (index_ + header.frame_length > valid_) {
        index_ = valid_;
        return MP3Data();
    }
    const int32_t size = std::max(min_block_bytes, header.frame_length + look_ahead_bytes);
    liba::ByteBlock block(size);
    uint8_t* bytes = block.writable();
    const int32_t present = std::min(size, valid_ - index_);
    std::memcpy(bytes, buffer_ + index_, static_cast<size_t>(present));
    std::memset(bytes + present, 0, static_cast<size_t>(size - present));
    index_ += header.frame_length;
    return MP3Data(block, header.frame_length);
}

} // namespace audio
