#include "liba/stream.h"

#include <algorithm>

#include "liba/text.h"

namespace liba {

void ErrorBase::add_error(const std::u16string& message) { errors_.push_back(message); }

uint32_t read_u32(StreamReader& reader)
{
    uint8_t bytes[4];
    if (reader.read(bytes, 4) != 4)
        return 0;
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

uint16_t read_u16(StreamReader& reader)
{
    uint8_t bytes[2];
    if (reader.read(bytes, 2) != 2)
        return 0;
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::u16string read_text(ResourceReader& reader, int32_t max)
{
    const int32_t count = std::max(0, std::min(max, reader.size() - reader.tell()));
    std::string bytes(static_cast<size_t>(count), '\0');
    if (count < 2 || count % 2 == 1)
        return reader.read(bytes.data(), count) == count ? text_to_wide(bytes) : std::u16string();
    if (reader.read(bytes.data(), 2) != 2)
        return {};
    if (reader.read(bytes.data() + 2, count - 2) != count - 2)
        return {};
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    if (byte(0) != 0xFF || byte(1) != 0xFE)
        return text_to_wide(bytes);
    std::u16string text;
    text.reserve(static_cast<size_t>(count / 2 - 1));
    for (size_t i = 2; i < bytes.size(); i += 2)
        text += static_cast<char16_t>(byte(i) | (byte(i + 1) << 8));
    return text;
}

} // namespace liba
