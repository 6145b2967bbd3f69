#include "audio/decoder_vorbis.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include <tremor/ivorbisfile.h>

#include "audio/pcm_pump.h"

namespace audio {
namespace {

constexpr int max_read_frames = 8192;

int clamp_to_int(int64_t value)
{
    return static_cast<int>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The Vorbis file layer reads through these; the reader owns and closes the file.
size_t read_file(void* buffer, size_t size, size_t count, void* source)
{
    if (size == 0)
        return 0;
    const size_t wanted = std::min<size_t>(size * count, std::numeric_limits<int32_t>::max());
    const int32_t got = static_cast<os::File*>(source)->read(buffer, static_cast<int32_t>(wanted));
    return got <= 0 ? 0 : static_cast<size_t>(got) / size;
}

int seek_file(void* source, ogg_int64_t offset, int whence)
{
    auto* file = static_cast<os::File*>(source);
    int64_t target = offset;
    if (whence == SEEK_CUR)
        target += file->tell();
    else if (whence == SEEK_END)
        target += file->size();
    if (target < 0 || target > std::numeric_limits<int32_t>::max())
        return -1;
    return file->seek(static_cast<int32_t>(target)) ? 0 : -1;
}

int close_file(void*) { return 0; }

long tell_file(void* source) { return static_cast<os::File*>(source)->tell(); }

constexpr ov_callbacks file_callbacks = {read_file, seek_file, close_file, tell_file};

} // namespace

DecoderVorbis::DecoderVorbis(std::u16string_view path)
    : file_(path, os::File::read_only), state_(std::make_unique<OggVorbis_File>())
{
    if (!file_.ok() || ov_open_callbacks(&file_, state_.get(), nullptr, 0, file_callbacks) < 0)
        return;
    info_ = ov_info(state_.get(), -1);
    if (!info_ || info_->channels <= 0 || info_->rate <= 0) {
        ov_clear(state_.get());
        info_ = nullptr;
        return;
    }
    bit_rate_ = clamp_to_int(ov_bitrate(state_.get(), -1));
}

DecoderVorbis::~DecoderVorbis()
{
    if (info_)
        ov_clear(state_.get());
}

bool DecoderVorbis::is_open()
{
    liba::Lock lock(lock_);
    return info_ != nullptr;
}

bool DecoderVorbis::is_eof()
{
    liba::Lock lock(lock_);
    return !info_ || ov_pcm_tell(state_.get()) >= ov_pcm_total(state_.get(), -1);
}

int DecoderVorbis::channels()
{
    liba::Lock lock(lock_);
    return info_ ? info_->channels : 0;
}

int DecoderVorbis::sample_rate()
{
    liba::Lock lock(lock_);
    return info_ ? clamp_to_int(info_->rate) : 0;
}

int DecoderVorbis::bit_rate()
{
    liba::Lock lock(lock_);
    return bit_rate_;
}

int DecoderVorbis::seconds_to_position(double seconds) { return truncate_to_int(sample_rate() * seconds); }

double DecoderVorbis::position_to_seconds(int position)
{
    const int rate = sample_rate();
    return rate == 0 ? 0 : double(position) / rate;
}

int DecoderVorbis::length()
{
    liba::Lock lock(lock_);
    return info_ ? clamp_to_int(std::max<int64_t>(0, ov_pcm_total(state_.get(), -1))) : 0;
}

int DecoderVorbis::position()
{
    liba::Lock lock(lock_);
    return info_ ? clamp_to_int(std::max<int64_t>(0, ov_pcm_tell(state_.get()))) : 0;
}

void DecoderVorbis::seek(int position)
{
    liba::Lock lock(lock_);
    if (info_)
        ov_pcm_seek(state_.get(), std::clamp<int64_t>(position, 0, ov_pcm_total(state_.get(), -1)));
}

bool DecoderVorbis::pump_seconds(double seconds) { return pump(seconds_to_position(seconds)); }

bool DecoderVorbis::pump(int n) { return is_open() && pump_pcm_frames(*this, n); }

PCMData DecoderVorbis::read(int count)
{
    liba::Lock lock(lock_);
    if (!info_ || count <= 0)
        return PCMData();
    const int channels = info_->channels;
    const int frames = std::min(count, max_read_frames);
    liba::ByteBlock bytes(channels * frames * 2);
    int section = 0;
    const long got = ov_read(state_.get(), reinterpret_cast<char*>(bytes.writable()), bytes.length(), &section);
    if (got <= 0)
        return PCMData();
    return PCMData(bytes.sub(0, static_cast<int32_t>(got)), channels, 16, clamp_to_int(info_->rate));
}

} // namespace audio
