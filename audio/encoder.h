#pragma once

namespace audio {

// What every encoder tells about the stream it makes.
class Encoder {
public:
    virtual ~Encoder() = default;
    // Target bit rate in bits per second.
    virtual int bit_rate() = 0;
};

} // namespace audio
