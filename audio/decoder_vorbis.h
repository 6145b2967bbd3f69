#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/links.h"
#include "liba/thread.h"
#include "os/file.h"

struct OggVorbis_File;

namespace audio {

// Ogg Vorbis files, decoded to 16-bit PCM by the integer Vorbis decoder (Tremor),
// which reads the file through callbacks. Positions are sample frames; read(count)
// answers at most what one library call decodes, never more than 8192 frames.
//
// A chained file (links one after the other, as `cat a.ogg b.ogg` makes) may change
// its rate and channels from link to link: positions count every link's frames in a
// row, the conversions to and from seconds go link by link, each block carries the
// format of the link it came from, and channels() and sample_rate() tell the format of
// the link at the current position.
class DecoderVorbis : public Provider<PCMData>, public FileReader {
public:
    explicit DecoderVorbis(std::u16string_view path);
    ~DecoderVorbis() override;

    bool is_open() override;
    bool is_eof() override;
    int channels() override;
    int bits_per_sample() override { return 16; }
    int sample_rate() override;
    int bit_rate() override;
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    int length() override;
    int position() override;
    void seek(int position) override;
    bool pump_seconds(double seconds) override;
    bool pump(int n) override;

    PCMData read(int count) override;

private:
    struct Link {
        int64_t first = 0; // position of its first frame
        int64_t frames = 0;
        int rate = 0;
        int channels = 0;
        double start_seconds = 0;
    };

    // The link holding position; the last one for positions past the end.
    const Link& link_at(int64_t position) const;
    int64_t current_position() const;

    os::File file_;
    std::vector<Link> links_;
    std::unique_ptr<OggVorbis_File> state_;
    bool open_ = false;
    // Set by a seek to the end or beyond.
    bool at_end_ = false;
    int bit_rate_ = 0;
    liba::Mutex lock_;
};

} // namespace audio
