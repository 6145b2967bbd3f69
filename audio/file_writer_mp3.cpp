#include "audio/file_writer_mp3.h"

#include <algorithm>
#include <cstring>

#include "os/path.h"

namespace audio {

FileWriterMP3::FileWriterMP3(std::u16string_view path, bool append)
{
    if (append) {
        appended_file_ = std::make_unique<os::File>(path, os::File::read_write);
        file_ = appended_file_.get();
    } else {
        new_file_ = std::make_unique<os::ReplacingFile>(os::native_path(path));
        file_ = new_file_.get();
    }
    ok_ = file_->ok();
    if (append && ok_) {
        file_->seek(file_->size());
        size_ = file_->tell();
    }
}

FileWriterMP3::~FileWriterMP3() = default;

bool FileWriterMP3::is_ok()
{
    liba::Lock lock(consumer_lock());
    return ok_ && (!file_ || file_->ok());
}

int FileWriterMP3::size()
{
    liba::Lock lock(consumer_lock());
    return size_;
}

bool FileWriterMP3::write(const uint8_t* bytes, int32_t count)
{
    ok_ = file_->write(bytes, count) == count;
    return ok_;
}

void FileWriterMP3::on_data(const MP3Data& block)
{
    liba::Lock lock(consumer_lock());
    if (!is_ok() || !file_)
        return;
    const int32_t count = std::min(block.frame_length, block.length());
    if (count <= 0)
        return;
    size_ += count;
    if (buffered_ + count > buffer_bytes) {
        if (!write(buffer_, buffered_))
            return;
        buffered_ = 0;
    }
    if (count > buffer_bytes) {
        write(block.data(), count);
    } else {
        std::memcpy(buffer_ + buffered_, block.data(), static_cast<size_t>(count));
        buffered_ += count;
    }
}

bool FileWriterMP3::finish()
{
    liba::Lock lock(consumer_lock());
    if (!file_)
        return false;
    if (ok_ && buffered_ > 0)
        write(buffer_, buffered_);
    buffered_ = 0;
    bool complete = is_ok() && file_->size() > 0;
    file_ = nullptr;
    if (new_file_ && complete && !new_file_->commit())
        complete = ok_ = false;
    new_file_.reset();
    appended_file_.reset();
    return complete;
}

} // namespace audio
