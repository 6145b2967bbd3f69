#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <mpc/mpcdec.h>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/links.h"
#include "liba/thread.h"
#include "os/file.h"

namespace audio {

// Musepack files (stream versions 7 and 8), decoded by libmpcdec's demultiplexer,
// which reads the file through callbacks. Positions are sample frames and count what
// has been decoded. One library call decodes a whole frame; read(count) hands out up
// to count frames of it and keeps the rest, also across a seek.
class DecoderMPC : public Provider<PCMData>, public FileReader {
public:
    explicit DecoderMPC(std::u16string_view path);
    ~DecoderMPC() override;

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
    // Decodes the next frame that holds samples into the leftover; false at the end of
    // the stream or on a decoding error.
    bool decode_frame();

    os::File file_;
    mpc_reader callbacks_{};
    mpc_streaminfo info_{};
    mpc_demux* demux_ = nullptr;
    int position_ = 0;
    int length_ = 0;
    liba::Mutex lock_;
    PCMData leftover_;
    std::vector<MPC_SAMPLE_FORMAT> samples_;
};

// One decoded sample as 16 bits: full scale is ±1.0; rounded, and clamped to
// [-32768, 32767].
int16_t mpc_sample_to_16(MPC_SAMPLE_FORMAT sample);

} // namespace audio
