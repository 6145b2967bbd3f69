#pragma once

#include <string_view>

#include "audio/file_reader.h"
#include "audio/wav_info.h"
#include "liba/thread.h"
#include "os/file.h"

namespace audio {

// Base of the WAV readers: owns the file and the reader's lock, and answers the format
// queries from the reader's WAVInfo record. A derived reader runs open_with() on its
// record from its own constructor.
class FileReaderWAV : public FileReader {
public:
    bool is_open() override;
    bool is_eof() override;
    int channels() override;
    int bits_per_sample() override;
    int sample_rate() override;
    int bit_rate() override;

    virtual const WAVInfo& wav_info() const = 0;

protected:
    explicit FileReaderWAV(std::u16string_view path);

    // Runs the header walk with info; the reader is open when it succeeds.
    void open_with(WAVInfo& info);

    // Bytes the file held from the data start on when it was opened (a header may
    // claim more).
    int data_available();

    os::File& file() { return file_; }
    liba::Mutex& reader_lock() { return lock_; }

private:
    os::File file_;
    bool open_ = false;
    int available_ = 0;
    liba::Mutex lock_;
};

} // namespace audio
