#include "audio/mp3_timeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/file_reader.h"

namespace audio {
namespace {

// The scan reads the file in pieces of this size.
constexpr int32_t scan_chunk_bytes = 256 * 1024;

} // namespace

MP3Timeline::MP3Timeline(int32_t start, int32_t end, int32_t frames, const MP3Header& format, int32_t delay)
    : start_(start),
      end_(std::max(start, end)),
      frames_(frames),
      samples_per_frame_(format.samples_per_frame),
      sample_rate_(format.sample_rate),
      delay_(delay)
{
}

MP3Timeline::MP3Timeline(std::vector<int32_t> frame_starts, int32_t end, const MP3Header& format, int32_t delay)
    : MP3Timeline(frame_starts.empty() ? end : frame_starts.front(), end, int32_t(frame_starts.size()), format, delay)
{
    frame_starts_ = std::move(frame_starts);
}

double MP3Timeline::duration() const
{
    if (sample_rate_ == 0)
        return 0;
    return std::max(0.0, (double(frames_) * samples_per_frame_ - delay_) / sample_rate_);
}

int32_t MP3Timeline::average_bit_rate() const
{
    const double seconds = sample_rate_ == 0 ? 0 : double(frames_) * samples_per_frame_ / sample_rate_;
    if (seconds <= 0)
        return 0;
    // Rates are whole kilobits: a CBR file's average is its rate, whatever its padding.
    return truncate_to_int(std::round((double(end_) - start_) * 8 / seconds / 1000) * 1000);
}

int32_t MP3Timeline::position_at(double seconds) const
{
    if (std::isnan(seconds) || frame_starts_.empty())
        return start_;
    const double sample = std::max(0.0, seconds) * sample_rate_ + delay_;
    const double frame = std::floor(sample / samples_per_frame_ + 0.5);
    return frame >= frame_starts_.size() ? end_ : frame_starts_[size_t(frame)];
}

double MP3Timeline::seconds_at(int32_t position) const
{
    if (frame_starts_.empty() || sample_rate_ == 0 || position <= start_)
        return 0;
    if (position >= end_)
        return duration();
    // The frame that holds position, and how far into it position lies.
    const size_t frame =
        size_t(std::upper_bound(frame_starts_.begin(), frame_starts_.end(), position) - frame_starts_.begin()) - 1;
    const int32_t next = frame + 1 < frame_starts_.size() ? frame_starts_[frame + 1] : end_;
    const double fraction = double(position - frame_starts_[frame]) / (next - frame_starts_[frame]);
    return std::clamp(((frame + fraction) * samples_per_frame_ - delay_) / sample_rate_, 0.0, duration());
}

int32_t MP3Timeline::warm_up_start(int32_t position, int32_t frames, int32_t bytes) const
{
    const size_t heard =
        size_t(std::lower_bound(frame_starts_.begin(), frame_starts_.end(), position) - frame_starts_.begin());
    const int32_t heard_start = heard < frame_starts_.size() ? frame_starts_[heard] : end_;
    size_t first = heard;
    while (first > 0 && (heard - first < size_t(frames) || heard_start - frame_starts_[first] < bytes))
        --first;
    return first < frame_starts_.size() ? frame_starts_[first] : std::min(position, end_);
}

MP3Timeline scan_mp3_frames(os::File& file, int32_t first, int32_t file_size, const MP3Header& reference, int32_t delay)
{
    std::vector<uint8_t> chunk(scan_chunk_bytes);
    int32_t chunk_start = first;
    int32_t chunk_valid = 0;
    file.seek(first);

    std::vector<int32_t> frame_starts;
    int32_t offset = first;
    int32_t end = first;
    while (offset <= file_size - 4) {
        if (offset + 4 > chunk_start + chunk_valid) {
            // Keep the bytes from offset on and read the next piece after them.
            const int32_t kept = std::max(0, chunk_start + chunk_valid - offset);
            if (kept == 0 && offset != chunk_start + chunk_valid)
                file.seek(offset);
            std::memmove(chunk.data(), chunk.data() + (chunk_valid - kept), static_cast<size_t>(kept));
            const int32_t got = file.read(chunk.data() + kept, scan_chunk_bytes - kept);
            chunk_start = offset;
            chunk_valid = kept + std::max(0, got);
            if (chunk_valid < 4)
                break;
        }
        MP3Header header;
        if (parse_mp3_header(chunk.data() + (offset - chunk_start), header) && matches(header, reference) &&
            header.frame_length <= file_size - offset) {
            frame_starts.push_back(offset);
            offset += header.frame_length;
            end = offset;
        } else {
            ++offset;
        }
    }
    return MP3Timeline(std::move(frame_starts), end, reference, delay);
}

} // namespace audio
