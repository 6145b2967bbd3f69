#pragma once

#include <cstdint>
#include <vector>

#include "audio/mp3_header.h"
#include "os/file.h"

namespace audio {

// Where the frames of one MPEG audio stream lie in its file, and so which byte holds
// which time. Times count from the sound's first sample: delay is the number of
// decoded samples before it (the encoder's and the decoder's delays). The totals may
// come from an information frame; turning times into positions and back needs the
// offset of every frame, from a scan.
class MP3Timeline {
public:
    MP3Timeline() = default;
    // The totals only: frames whole frames from start to end.
    MP3Timeline(int32_t start, int32_t end, int32_t frames, const MP3Header& format, int32_t delay);
    // Every frame: frame_starts in order, the last frame ending at end.
    MP3Timeline(std::vector<int32_t> frame_starts, int32_t end, const MP3Header& format, int32_t delay);

    // The first audio frame and the end of the last one.
    int32_t start() const { return start_; }
    int32_t end() const { return end_; }
    int32_t frames() const { return frames_; }
    int32_t delay() const { return delay_; }
    bool has_every_frame() const { return frames_ == int32_t(frame_starts_.size()); }
    double duration() const;
    // Bits per second of the frames, on average, to the nearest kilobit.
    int32_t average_bit_rate() const;

    // The start of the frame whose first decoded sample is nearest to seconds.
    int32_t position_at(double seconds) const;
    double seconds_at(int32_t position) const;
    // The start of a frame at least `frames` frames and `bytes` bytes before the first
    // frame at or after position, or of the first frame.
    int32_t warm_up_start(int32_t position, int32_t frames, int32_t bytes) const;

private:
    int32_t start_ = 0;
    int32_t end_ = 0;
    int32_t frames_ = 0;
    int32_t samples_per_frame_ = 0;
    int32_t sample_rate_ = 0;
    int32_t delay_ = 0;
    std::vector<int32_t> frame_starts_;
};

// Walks the frame headers of file from the frame at first, skipping bytes that do not
// start a frame matching reference, up to the last whole frame.
MP3Timeline scan_mp3_frames(
    os::File& file, int32_t first, int32_t file_size, const MP3Header& reference, int32_t delay);

} // namespace audio
