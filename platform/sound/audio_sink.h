#pragma once

#include "liba/nocopy.h"

namespace platform {

// Where the sound of one waveform device goes. A sink takes sound out of its device's
// WaveQueue at its own pace, on a thread of its own, from construction until it is
// destroyed; once the destructor returns it touches the queue no more.
class AudioSink : liba::Nocopy {
public:
    virtual ~AudioSink() = default;
};

} // namespace platform
