#pragma once

namespace audio {

// What every writer of an output file tells about it.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // No write has failed so far.
    virtual bool is_ok() = 0;
    // Bytes in the file: those present when it was opened for appending, plus every
    // byte accepted since.
    virtual int size() = 0;
};

} // namespace audio
