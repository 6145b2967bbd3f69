#include "audio/file_reader_mp3.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/mp3_stream_headers.h"

namespace audio {
namespace {

// The buffer is topped up whenever fewer bytes than this are left, so that the longest
// frame (2881 bytes, MPEG-2 layer II at 8 kHz) and the bytes after it always fit.
constexpr int32_t refill_threshold = 4000;
// A block carries at least this many bytes: the frame and what follows it, because
// the decoder reads ahead into the next frame's header to find its bit reservoir.
constexpr int32_t min_block_bytes = 2000;
constexpr int32_t look_ahead_bytes = 16;
constexpr int32_t id3v2_header_bytes = 10;
// No MPEG audio frame is shorter (layer III, MPEG-2 at 8 kbit/s and 24000 Hz).
constexpr int32_t shortest_frame = 24;

// Decoded samples before the first sample of the sound. Layer III: the encoder's delay
// (as its information frame gives it, else the usual one) and the decoder's. Layers I
// and II: the analysis and synthesis filter banks.
int32_t decoded_delay(const MP3Header& format, int32_t encoder_delay)
{
    constexpr int32_t layer3_decoder_delay = 529;
    constexpr int32_t layer3_encoder_delay = 576;
    constexpr int32_t filter_bank_delay = 481;
    if (format.layer != 3)
        return filter_bank_delay;
    return layer3_decoder_delay + (encoder_delay >= 0 ? encoder_delay : layer3_encoder_delay);
}

// After a seek, reading starts this far back: the decoder needs the frames before the
// first one heard for their share of the layer III bit reservoir (up to 511 bytes back)
// and to fill its filter banks.
constexpr int32_t warm_up_frames = 2;
constexpr int32_t warm_up_bytes = 2048;

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

    const int32_t first_frame = find_first_frame(skip_id3v2_tags());
    if (first_frame < 0) {
        open_ = false;
        reference_ = MP3Header();
        return;
    }
    timeline_ = read_timeline(first_frame);
    sound_from_ = timeline_.start();
    move_to(sound_from_);
}

int32_t FileReaderMP3::skip_id3v2_tags()
{
    int32_t offset = 0;
    uint8_t header[id3v2_header_bytes];
    while (offset <= file_size_ - id3v2_header_bytes && file_.seek(offset) &&
           file_.read(header, id3v2_header_bytes) == id3v2_header_bytes) {
        const int32_t size = id3v2_tag_size(header, id3v2_header_bytes);
        if (size == 0)
            break;
        offset += std::min(size, file_size_ - offset);
    }
    return offset;
}

int32_t FileReaderMP3::find_first_frame(int32_t from)
{
    move_to(from);
    for (;;) {
        MP3Header header;
        if (find_header(header)) {
            reference_ = header;
            refill();
            const int32_t first = offset_past_buffer_ - valid_ + index_;
            MP3Header next;
            const int32_t following = index_ + header.frame_length;
            if (following < valid_ - 4 && parse_mp3_header(buffer_ + following, next) && matches(next, reference_))
                return first;
            // Not followed by a frame like it: a chance sync pattern. The real first
            // frame may start inside what its length covered.
            ++index_;
        } else if (refill() == 0 && index_ >= valid_ - 4) {
            return -1;
        }
    }
}

MP3Timeline FileReaderMP3::read_timeline(int32_t first_frame)
{
    std::vector<uint8_t> frame(static_cast<size_t>(reference_.frame_length));
    const int32_t got = file_.seek(first_frame) ? file_.read(frame.data(), reference_.frame_length) : 0;
    MP3InfoFrame info;
    // An information frame is not believed when its stream is longer than the file or
    // holds more frames than would fit in it.
    if (!parse_mp3_info_frame(frame.data(), std::max(0, got), reference_, info) ||
        info.stream_bytes > file_size_ - first_frame || info.frames > (file_size_ - first_frame) / shortest_frame)
        return scan_mp3_frames(file_, first_frame, file_size_, reference_, decoded_delay(reference_, -1));

    const int32_t end = info.stream_bytes > 0 ? first_frame + info.stream_bytes : file_size_;
    return MP3Timeline(first_frame + reference_.frame_length, end, info.frames, reference_,
                       decoded_delay(reference_, info.encoder_delay));
}

const MP3Timeline& FileReaderMP3::indexed_timeline()
{
    if (!timeline_.has_every_frame()) {
        timeline_ = scan_mp3_frames(file_, timeline_.start(), file_size_, reference_, timeline_.delay());
        file_.seek(offset_past_buffer_);
    }
    return timeline_;
}

void FileReaderMP3::move_to(int32_t position)
{
    file_.seek(position);
    offset_past_buffer_ = position;
    valid_ = index_ = 0;
}

bool FileReaderMP3::at_end() { return std::max(offset_past_buffer_ - valid_ + index_, sound_from_) >= file_size_; }

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
    return timeline_.average_bit_rate();
}

int FileReaderMP3::seconds_to_position(double seconds)
{
    liba::Lock lock(lock_);
    return indexed_timeline().position_at(seconds);
}

double FileReaderMP3::position_to_seconds(int position)
{
    liba::Lock lock(lock_);
    // The start and the end need no index: the length is known at once.
    if (position <= timeline_.start())
        return 0;
    if (position >= timeline_.end())
        return timeline_.duration();
    return indexed_timeline().seconds_at(position);
}

int FileReaderMP3::length()
{
    liba::Lock lock(lock_);
    return timeline_.end();
}

int FileReaderMP3::position()
{
    liba::Lock lock(lock_);
    return std::max(offset_past_buffer_ - valid_ + index_, sound_from_);
}

void FileReaderMP3::seek(int position)
{
    liba::Lock lock(lock_);
    if (!open_)
        return;
    sound_from_ = std::clamp(position, timeline_.start(), file_size_);
    move_to(indexed_timeline().warm_up_start(sound_from_, warm_up_frames, warm_up_bytes));
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
    const bool warm_up = offset_past_buffer_ - valid_ + index_ < sound_from_;
    const int32_t size = std::max(min_block_bytes, header.frame_length + look_ahead_bytes);
    liba::ByteBlock block(size);
    uint8_t* bytes = block.writable();
    const int32_t present = std::min(size, valid_ - index_);
    std::memcpy(bytes, buffer_ + index_, static_cast<size_t>(present));
    std::memset(bytes + present, 0, static_cast<size_t>(size - present));
    index_ += header.frame_length;
    return MP3Data(block, header.frame_length, warm_up);
}

} // namespace audio
