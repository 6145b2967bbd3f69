#include "audio/file_reader_wav_blocks.h"

#include <algorithm>

#include "audio/blocks.h"

namespace audio {

template <class T>
int FileReaderWAVBlocks<T>::seconds_to_position(double seconds)
{
    const int samples = samples_per_block();
    return samples == 0 ? 0 : truncate_to_int(wav_info().sample_rate * seconds / samples);
}

template <class T>
double FileReaderWAVBlocks<T>::position_to_seconds(int position)
{
    const int rate = wav_info().sample_rate;
    return rate == 0 ? 0 : double(position) * samples_per_block() / rate;
}

template <class T>
int FileReaderWAVBlocks<T>::length()
{
    liba::Lock lock(reader_lock());
    const int samples = samples_per_block();
    const int align = wav_info().block_align;
    if (samples == 0 || align == 0)
        return 0;
    const int64_t claimed = fact_samples() / static_cast<uint32_t>(samples);
    const int64_t held = std::min<int64_t>(wav_info().data_size, data_available()) / align;
    return static_cast<int>(std::min(claimed, held));
}

template <class T>
int FileReaderWAVBlocks<T>::position()
{
    liba::Lock lock(reader_lock());
    return position_;
}

template <class T>
void FileReaderWAVBlocks<T>::seek(int position)
{
    liba::Lock lock(reader_lock());
    if (!is_open())
        return;
    // Limited to the blocks there are, so that the file offset always stays inside
    // the data and in step with the block index.
    const int limited = std::clamp(position, 0, length());
    if (limited == position_)
        return;
    position_ = limited;
    file().seek(wav_info().data_start + position_ * wav_info().block_align);
}

template <class T>
bool FileReaderWAVBlocks<T>::pump_seconds(double seconds)
{
    const int samples = samples_per_block();
    if (samples == 0)
        return false;
    return pump(truncate_to_int(wav_info().sample_rate * seconds / samples));
}

template <class T>
bool FileReaderWAVBlocks<T>::pump(int n)
{
    if (!is_open())
        return false;
    const int align = wav_info().block_align;
    while (n > 0) {
        // The reader's lock is taken per read, not across the push, so the consumer's
        // lock is never taken while this one is held.
        const T block = read(std::min(n, pump_step_));
        if (block.empty())
            return false;
        this->push(block);
        n -= block.length() / align;
    }
    return true;
}

template <class T>
T FileReaderWAVBlocks<T>::read(int count)
{
    liba::Lock lock(reader_lock());
    const int align = wav_info().block_align;
    if (!is_open() || align == 0)
        return T();
    const int blocks = std::max(0, std::min(count, length() - position_));
    if (blocks == 0)
        return T();
    // blocks × align lies within the file, so it fits.
    liba::ByteBlock bytes(blocks * align);
    const int got = std::max(0, file().read(bytes.writable(), bytes.length()));
    const int whole = got / align;
    position_ += whole;
    if (got % align != 0)
        file().seek(wav_info().data_start + position_ * align);
    return whole == 0 ? T() : make_block(bytes.sub(0, whole * align));
}

template class FileReaderWAVBlocks<ADPCMData>;
template class FileReaderWAVBlocks<GSMData>;

} // namespace audio
