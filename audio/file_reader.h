#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// The seekable source of one audio file. Positions and lengths are in the reader's own
// unit (bytes, coded blocks or sample frames, as each reader says); times are seconds.
// A reader that cannot read or does not recognise its file is not open, and then every
// operation answers its neutral value.
namespace audio {

class FileReader {
public:
    virtual ~FileReader() = default;

    virtual bool is_open() = 0;
    // Not open, or no data left to read.
    virtual bool is_eof() = 0;
    // Format of the decoded PCM.
    virtual int channels() = 0;
    virtual int bits_per_sample() = 0;
    virtual int sample_rate() = 0;
    // Bits per second of the file's coded data.
    virtual int bit_rate() = 0;

    virtual int seconds_to_position(double seconds) = 0;
    virtual double position_to_seconds(int position) = 0;

    double length_seconds() { return position_to_seconds(length()); }
    double position_seconds() { return position_to_seconds(position()); }
    void seek_seconds(double seconds) { seek(seconds_to_position(seconds)); }

    virtual int length() = 0;
    virtual int position() = 0;
    virtual void seek(int position) = 0;
    // Pushes the data of the next `seconds` to the linked consumer.
    virtual bool pump_seconds(double seconds) = 0;
    // Pushes the next n position units to the linked consumer, as blocks. True when all
    // of them were delivered; false when the data ran out first or the reader is not open.
    virtual bool pump(int n) = 0;
};

// Truncates toward zero like a cast to int, but saturates instead of overflowing, and
// maps NaN to 0: positions come from user-given times and from file headers.
inline int truncate_to_int(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int32_t>::min();
    constexpr double highest = std::numeric_limits<int32_t>::max();
    return static_cast<int>(std::trunc(std::fmin(std::fmax(value, lowest), highest)));
}

} // namespace audio
