#pragma once

#include <cstdint>
#include <string_view>

#include "audio/file_reader_wav.h"
#include "audio/links.h"
#include "liba/byte_block.h"

namespace audio {

// Base of the WAV readers that hand out whole coded blocks (T) for a block decoder.
// Positions are block indices; read(count) and pump(n) count blocks. A block that the
// file ends in the middle of is never handed out, and reads never go past the real
// end of the file, whatever the header claims.
template <class T>
class FileReaderWAVBlocks : public Provider<T>, public FileReaderWAV {
public:
    // Bits of the decoded PCM.
    int bits_per_sample() override { return 16; }
    int seconds_to_position(double seconds) override;
    double position_to_seconds(int position) override;
    int length() override;
    int position() override;
    void seek(int position) override;
    bool pump_seconds(double seconds) override;
    bool pump(int n) override;

    T read(int count) override;

protected:
    // pump_step: blocks per read while pumping.
    FileReaderWAVBlocks(std::u16string_view path, int pump_step) : FileReaderWAV(path), pump_step_(pump_step) {}

    // From the derived reader's header record.
    virtual int samples_per_block() const = 0;
    virtual uint32_t fact_samples() const = 0;
    // Wraps bytes holding whole blocks in the block type, with its format.
    virtual T make_block(const liba::ByteBlock& bytes) const = 0;

private:
    const int pump_step_;
    int position_ = 0;
};

} // namespace audio
