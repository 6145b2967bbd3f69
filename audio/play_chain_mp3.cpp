#include "audio/play_chain_mp3.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "liba/text.h"
#include "os/file.h"

namespace audio {
namespace {

// The tag is found within this many bytes of the end of the file.
constexpr int32_t tag_search_bytes = 1000;
// "TAG" and the 125 bytes of fields after it.
constexpr int32_t tag_bytes = 128;
constexpr int32_t title_bytes = 30;

} // namespace

PlayChainMP3::PlayChainMP3(std::unique_ptr<FileReaderMP3> reader, std::u16string_view path,
                           std::u16string_view codec_name)
    : PlayChainReaderDecoder(std::move(reader), path, codec_name)
{
    std::u16string tag_title = read_id3v1_title(path);
    if (!tag_title.empty())
        set_title(std::move(tag_title));
}

std::u16string read_id3v1_title(std::u16string_view path)
{
    os::File file(path, os::File::read_only);
    const int32_t size = file.size();
    const int32_t count = std::min(size, tag_search_bytes);
    std::vector<char> tail(static_cast<size_t>(count));
    if (!file.ok() || count < tag_bytes || !file.seek(size - count) || file.read(tail.data(), count) != count)
        return std::u16string();

    // The last "TAG" that still has a whole tag after it: a "TAG" inside the fields
    // of the real tag must not hide it.
    const std::string_view text(tail.data(), tail.size());
    const size_t tag = text.rfind("TAG", text.size() - tag_bytes);
    if (tag == std::string_view::npos)
        return std::u16string();

    std::string_view title = text.substr(tag + 3, title_bytes);
    title = title.substr(0, title.find('\0'));
    title = title.substr(0, title.find_last_not_of(' ') + 1);
    return liba::text_to_wide(title);
}

} // namespace audio
