#include "audio/decoder_mpc.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "audio/pcm_pump.h"

namespace audio {
namespace {

static_assert(std::is_floating_point_v<MPC_SAMPLE_FORMAT>, "libmpcdec is expected to decode to floating point");

os::File& file_of(mpc_reader* reader) { return *static_cast<os::File*>(reader->data); }

mpc_int32_t read_file(mpc_reader* reader, void* buffer, mpc_int32_t size)
{
    return std::max(0, file_of(reader).read(buffer, size));
}

mpc_bool_t seek_file(mpc_reader* reader, mpc_int32_t offset) { return file_of(reader).seek(offset); }

mpc_int32_t tell_file(mpc_reader* reader) { return file_of(reader).tell(); }

mpc_int32_t file_size(mpc_reader* reader) { return file_of(reader).size(); }

mpc_bool_t can_seek(mpc_reader*) { return MPC_TRUE; }

int clamp_to_int(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT32_MAX)); }

constexpr int64_t frame_samples = 1152;

// Audio packets ("AP") of a stream-version-8 file that lie whole within it. The packets
// follow the "MPCK" magic; each starts with a two-letter key and its total size, 7 bits
// to a byte, high bit set on all but the last. The walk ends at the end packet ("SE"),
// at damage, and at the end of the file, and leaves the file where it was.
int64_t count_whole_audio_packets(os::File& file, int64_t start)
{
    const int32_t resume = file.tell();
    const int64_t end = file.size();
    int64_t packets = 0;
    for (int64_t offset = start; offset + 3 <= end;) {
        uint8_t header[11] = {};
        if (!file.seek(static_cast<int32_t>(offset)))
            break;
        const int32_t got = file.read(header, sizeof header);
        if (got < 3 || header[0] < 'A' || header[0] > 'Z' || header[1] < 'A' || header[1] > 'Z')
            break;
        if (header[0] == 'S' && header[1] == 'E')
            break;
        uint64_t size = 0;
        int length = 2;
        while (length < got && length < 11) {
            const uint8_t byte = header[length++];
            size = size << 7 | (byte & 0x7F);
            if (!(byte & 0x80))
                break;
        }
        if ((header[length - 1] & 0x80) || size < uint64_t(length) || offset + int64_t(size) > end)
            break;
        if (header[0] == 'A' && header[1] == 'P')
            ++packets;
        offset += int64_t(size);
    }
    file.seek(resume);
    return packets;
}

} // namespace

int16_t mpc_sample_to_16(MPC_SAMPLE_FORMAT sample)
{
    const double scaled = std::nearbyint(double(sample) * 32768.0);
    if (std::isnan(scaled))
        return 0;
    return static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

DecoderMPC::DecoderMPC(std::u16string_view path) : file_(path, os::File::read_only)
{
    callbacks_ = {read_file, seek_file, tell_file, file_size, can_seek, &file_};
    if (!file_.ok())
        return;
    demux_ = mpc_demux_init(&callbacks_);
    if (!demux_)
        return;
    mpc_demux_get_info(demux_, &info_);
    // The decoder's sample buffer holds at most two channels.
    if (info_.channels == 0 || info_.channels > 2 || info_.sample_freq == 0 || info_.sample_freq > INT32_MAX) {
        info_.channels = 0;
        return;
    }
    length_ = clamp_to_int(mpc_streaminfo_get_length_samples(&info_));
    // A file cut short holds fewer samples than its header claims. Seeking past them
    // would make the library walk on beyond the end of the file without end, so the
    // length is what the whole packets hold.
    if (info_.stream_version >= 8) {
        const int64_t packets = count_whole_audio_packets(file_, info_.header_position + 4);
        const int64_t held = (packets << std::min<mpc_uint32_t>(info_.block_pwr, 20)) * frame_samples -
                             static_cast<int64_t>(info_.beg_silence);
        length_ = std::min(length_, clamp_to_int(held));
    }
    samples_.resize(MPC_DECODER_BUFFER_LENGTH);
}

DecoderMPC::~DecoderMPC()
{
    if (demux_)
        mpc_demux_exit(demux_);
}

bool DecoderMPC::is_open()
{
    liba::Lock lock(lock_);
    return info_.channels != 0;
}

bool DecoderMPC::is_eof()
{
    liba::Lock lock(lock_);
    return info_.channels == 0 || position_ >= length_;
}

int DecoderMPC::channels()
{
    liba::Lock lock(lock_);
    return static_cast<int>(info_.channels);
}

int DecoderMPC::sample_rate()
{
    liba::Lock lock(lock_);
    return static_cast<int>(info_.sample_freq);
}

int DecoderMPC::bit_rate()
{
    liba::Lock lock(lock_);
    return truncate_to_int(info_.average_bitrate);
}

int DecoderMPC::seconds_to_position(double seconds) { return truncate_to_int(sample_rate() * seconds); }

double DecoderMPC::position_to_seconds(int position)
{
    const int rate = sample_rate();
    return rate == 0 ? 0 : double(position) / rate;
}

int DecoderMPC::length()
{
    liba::Lock lock(lock_);
    return length_;
}

int DecoderMPC::position()
{
    liba::Lock lock(lock_);
    return position_;
}

void DecoderMPC::seek(int position)
{
    liba::Lock lock(lock_);
    if (info_.channels == 0)
        return;
    position_ = std::clamp(position, 0, length_);
    mpc_demux_seek_sample(demux_, static_cast<mpc_uint64_t>(position_));
}

bool DecoderMPC::pump_seconds(double seconds) { return pump(seconds_to_position(seconds)); }

bool DecoderMPC::pump(int n) { return is_open() && pump_pcm_frames(*this, n); }

bool DecoderMPC::decode_frame()
{
    mpc_frame_info frame{};
    do {
        frame.buffer = samples_.data();
        if (mpc_demux_decode(demux_, &frame) != MPC_STATUS_OK || frame.bits == -1)
            return false;
    } while (frame.samples == 0);

    const int channels = static_cast<int>(info_.channels);
    const int count = static_cast<int>(frame.samples) * channels;
    liba::ByteBlock bytes(count * 2);
    uint8_t* out = bytes.writable();
    for (int i = 0; i < count; ++i) {
        const uint16_t value = static_cast<uint16_t>(mpc_sample_to_16(samples_[i]));
        out[2 * i] = static_cast<uint8_t>(value);
        out[2 * i + 1] = static_cast<uint8_t>(value >> 8);
    }
    leftover_ = PCMData(bytes, channels, 16, static_cast<int>(info_.sample_freq));
    position_ += static_cast<int>(frame.samples);
    return true;
}

PCMData DecoderMPC::read(int count)
{
    liba::Lock lock(lock_);
    if (info_.channels == 0 || count <= 0)
        return PCMData();
    if (leftover_.empty() && !decode_frame())
        return PCMData();
    const int64_t wanted = int64_t{count} * leftover_.bytes_per_frame();
    const int32_t bytes = static_cast<int32_t>(std::min<int64_t>(wanted, leftover_.length()));
    const PCMData out(leftover_.sub(0, bytes), leftover_.channels, 16, leftover_.sample_rate);
    leftover_ = PCMData(leftover_.sub(bytes, leftover_.length() - bytes), leftover_.channels, 16, leftover_.sample_rate);
    return out;
}

} // namespace audio
