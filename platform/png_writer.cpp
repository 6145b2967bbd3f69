#include "platform/png_writer.h"

#include <array>
#include <cstdio>
#include <fstream>

#include "liba/text.h"

namespace platform {
namespace {

const std::array<uint32_t, 256>& crc_table()
{
    static const auto table = [] {
        std::array<uint32_t, 256> made{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            made[n] = c;
        }
        return made;
    }();
    return table;
}

uint32_t crc32(const uint8_t* data, size_t length)
{
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i)
        c = crc_table()[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::vector<uint8_t>& data)
{
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void put_be32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body)
{
    put_be32(out, static_cast<uint32_t>(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    put_be32(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored deflate blocks.
std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& data)
{
    constexpr size_t max_block = 65535;
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t length = std::min(max_block, data.size() - at);
        const bool last = at + length == data.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(length >> 8));
        out.push_back(static_cast<uint8_t>(~length));
        out.push_back(static_cast<uint8_t>(~length >> 8));
        out.insert(out.end(), data.begin() + at, data.begin() + at + length);
        at += length;
    } while (at < data.size());
    put_be32(out, adler32(data));
    return out;
}

} // namespace

std::vector<uint8_t> encode_png(const Surface& surface)
{
    std::vector<uint8_t> scanlines;
    scanlines.reserve((static_cast<size_t>(surface.width()) * 3 + 1) * surface.height());
    for (int y = 0; y < surface.height(); ++y) {
        scanlines.push_back(0);
        const uint32_t* row = surface.row(y);
        for (int x = 0; x < surface.width(); ++x) {
            scanlines.push_back(static_cast<uint8_t>(row[x] >> 16));
            scanlines.push_back(static_cast<uint8_t>(row[x] >> 8));
            scanlines.push_back(static_cast<uint8_t>(row[x]));
        }
    }
    std::vector<uint8_t> header;
    put_be32(header, static_cast<uint32_t>(surface.width()));
    put_be32(header, static_cast<uint32_t>(surface.height()));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, no filter, no interlace

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", zlib_stored(scanlines));
    put_chunk(png, "IEND", {});
    return png;
}

bool write_png(const Surface& surface, const std::u16string& path)
{
    const std::string target = liba::to_narrow(path);
    const std::string temporary = target + ".part";
    const std::vector<uint8_t> png = encode_png(surface);
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()))
            || !file.flush()) {
            file.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace platform
