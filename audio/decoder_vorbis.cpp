#include "audio/decoder_vorbis.h"

#include <algorithm>
#include <cmath>
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
    : file_(path, os::File::read_only)
    , state_(std::make_unique<OggVorbis_File>())
{
    if (!file_.ok() || ov_open_callbacks(&file_, state_.get(), nullptr, 0, file_callbacks) < 0)
        return;
    open_ = true;
    const long count = ov_streams(state_.get());
    int64_t first = 0;
    double seconds = 0; // where the next link starts; in the end the whole length
    for (long i = 0; i < count; ++i) {
        const vorbis_info* info = ov_info(state_.get(), static_cast<int>(i));
        if (!info || info->channels <= 0 || info->rate <= 0 || info->rate > std::numeric_limits<int32_t>::max()) {
            links_.clear();
            break;
        }
        Link link;
        link.first = first;
        link.frames = std::max<int64_t>(0, ov_pcm_total(state_.get(), static_cast<int>(i)));
        link.rate = static_cast<int>(info->rate);
        link.channels = info->channels;
        link.start_seconds = seconds;
        links_.push_back(link);
        first += link.frames;
        seconds += double(link.frames) / link.rate;
    }
    if (links_.empty()) {
        ov_clear(state_.get());
        open_ = false;
        return;
    }
    // The library's own average divides by the length in whole milliseconds, which
    // is 0 for a file of (nearly) no samples.
    if (seconds > 0)
        bit_rate_ = clamp_to_int(static_cast<int64_t>(double(ov_raw_total(state_.get(), -1)) * 8 / seconds));
}

DecoderVorbis::~DecoderVorbis()
{
    if (open_)
        ov_clear(state_.get());
}

const DecoderVorbis::Link& DecoderVorbis::link_at(int64_t position) const
{
    const auto after = std::upper_bound(
        links_.begin(), links_.end(), position, [](int64_t value, const Link& link) { return value < link.first; });
    return after == links_.begin() ? links_.front() : *(after - 1);
}

int64_t DecoderVorbis::current_position() const
{
    return at_end_ ? ov_pcm_total(state_.get(), -1) : std::max<int64_t>(0, ov_pcm_tell(state_.get()));
}

bool DecoderVorbis::is_open()
{
    liba::Lock lock(lock_);
    return open_;
}

bool DecoderVorbis::is_eof()
{
    liba::Lock lock(lock_);
    return !open_ || current_position() >= ov_pcm_total(state_.get(), -1);
}

int DecoderVorbis::channels()
{
    liba::Lock lock(lock_);
    return open_ ? link_at(current_position()).channels : 0;
}

int DecoderVorbis::sample_rate()
{
    liba::Lock lock(lock_);
    return open_ ? link_at(current_position()).rate : 0;
}

int DecoderVorbis::bit_rate()
{
    liba::Lock lock(lock_);
    return bit_rate_;
}

int DecoderVorbis::seconds_to_position(double seconds)
{
    liba::Lock lock(lock_);
    if (!open_ || std::isnan(seconds))
        return 0;
    // The link whose time span holds seconds; times before the start or past the end
    // go on at the rate of the first or the last link.
    auto link = links_.begin();
    while (link + 1 != links_.end() && seconds >= (link + 1)->start_seconds)
        ++link;
    return truncate_to_int(double(link->first) + (seconds - link->start_seconds) * link->rate);
}

double DecoderVorbis::position_to_seconds(int position)
{
    liba::Lock lock(lock_);
    if (!open_)
        return 0;
    const Link& link = link_at(position);
    return link.start_seconds + double(position - link.first) / link.rate;
}

int DecoderVorbis::length()
{
    liba::Lock lock(lock_);
    return open_ ? clamp_to_int(std::max<int64_t>(0, ov_pcm_total(state_.get(), -1))) : 0;
}

int DecoderVorbis::position()
{
    liba::Lock lock(lock_);
    return open_ ? clamp_to_int(current_position()) : 0;
}

void DecoderVorbis::seek(int position)
{
    liba::Lock lock(lock_);
    if (!open_)
        return;
    // The library does not always land on the very end; a seek there or beyond simply
    // leaves nothing to read.
    const int64_t total = ov_pcm_total(state_.get(), -1);
    at_end_ = position >= total;
    if (!at_end_)
        ov_pcm_seek(state_.get(), std::max(0, position));
}

bool DecoderVorbis::pump_seconds(double seconds) { return pump(seconds_to_position(seconds)); }

bool DecoderVorbis::pump(int n) { return is_open() && pump_pcm_frames(*this, n); }

PCMData DecoderVorbis::read(int count)
{
    liba::Lock lock(lock_);
    if (!open_ || at_end_ || count <= 0)
        return PCMData();
    // Sized for the link at the position, so that no more than count frames come back.
    const int frames = std::min(count, max_read_frames);
    liba::ByteBlock bytes(link_at(current_position()).channels * frames * 2);
    int section = 0;
    const long got = ov_read(state_.get(), reinterpret_cast<char*>(bytes.writable()), bytes.length(), &section);
    if (got <= 0 || section < 0 || static_cast<size_t>(section) >= links_.size())
        return PCMData();
    // The block takes the format of the link it was decoded from.
    const Link& link = links_[static_cast<size_t>(section)];
    return PCMData(bytes.sub(0, static_cast<int32_t>(got)), link.channels, 16, link.rate);
}

} // namespace audio
