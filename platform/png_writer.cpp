#include "platform/png_writer.h"

#include <algorithm>
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

// Writes bits the way deflate packs them: from the lowest bit of each byte up.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}

    void bits(uint32_t value, int count)
    {
        buffer_ |= value << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_.push_back(static_cast<uint8_t>(buffer_));
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    // Huffman codes go most significant bit first.
    void code(uint32_t value, int length)
    {
        uint32_t reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((value >> i) & 1u) << (length - 1 - i);
        bits(reversed, length);
    }
    void flush()
    {
        if (filled_ > 0)
            out_.push_back(static_cast<uint8_t>(buffer_));
        buffer_ = 0;
        filled_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint32_t buffer_ = 0;
    int filled_ = 0;
};

// A symbol of the fixed literal/length code.
void put_symbol(BitWriter& writer, int symbol)
{
    if (symbol < 144)
        writer.code(0x30 + symbol, 8);
    else if (symbol < 256)
        writer.code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        writer.code(symbol - 256, 7);
    else
        writer.code(0xC0 + symbol - 280, 8);
}

constexpr int length_base[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99,
    115, 131, 163, 195, 227, 258};
constexpr int length_extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int distance_base[30] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025,
    1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int distance_extra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11,
    12, 12, 13, 13};

void put_match(BitWriter& writer, int length, int distance)
{
    int code = 28;
    while (length_base[code] > length)
        --code;
    put_symbol(writer, 257 + code);
    writer.bits(static_cast<uint32_t>(length - length_base[code]), length_extra[code]);
    code = 29;
    while (distance_base[code] > distance)
        --code;
    writer.code(static_cast<uint32_t>(code), 5);
    writer.bits(static_cast<uint32_t>(distance - distance_base[code]), distance_extra[code]);
}

// A zlib stream of one deflate block with the fixed codes, matches found through a
// hash of the next three bytes. Screens are mostly flat colour, which this squeezes
// well enough without the cost of building codes.
std::vector<uint8_t> zlib_deflate(const std::vector<uint8_t>& data)
{
    constexpr int window = 32768;
    constexpr int max_match = 258;
    constexpr int chain_limit = 32;
    constexpr int hash_bits = 15;
    std::vector<uint8_t> out = {0x78, 0x01};
    BitWriter writer(out);
    writer.bits(1, 1); // the last block
    writer.bits(1, 2); // fixed codes

    const int size = static_cast<int>(data.size());
    std::vector<int> head(1 << hash_bits, -1);
    std::vector<int> previous(static_cast<size_t>(size), -1);
    const auto hash_at = [&data](int at) {
        const uint32_t key = data[at] | data[at + 1] << 8 | data[at + 2] << 16;
        return static_cast<int>((key * 2654435761u) >> (32 - hash_bits));
    };
    const auto insert = [&](int at) {
        if (at + 2 >= size)
            return;
        const int hash = hash_at(at);
        previous[at] = head[hash];
        head[hash] = at;
    };
    for (int at = 0; at < size;) {
        int best_length = 0;
        int best_distance = 0;
        if (at + 2 < size) {
            int candidate = head[hash_at(at)];
            for (int steps = 0; candidate >= 0 && at - candidate <= window && steps < chain_limit; ++steps) {
                const int limit = std::min(max_match, size - at);
                int length = 0;
                while (length < limit && data[candidate + length] == data[at + length])
                    ++length;
                if (length > best_length) {
                    best_length = length;
                    best_distance = at - candidate;
                    if (length == limit)
                        break;
                }
                candidate = previous[candidate];
            }
        }
        if (best_length >= 3) {
            put_match(writer, best_length, best_distance);
            for (int i = 0; i < best_length; ++i)
                insert(at + i);
            at += best_length;
        } else {
            put_symbol(writer, data[at]);
            insert(at);
            ++at;
        }
    }
    put_symbol(writer, 256);
    writer.flush();
    put_be32(out, adler32(data));
    return out;
}

} // namespace

std::vector<uint8_t> encode_png(const Surface& surface)
{
    // Each row as it is, or as its difference from the row above (the "up" filter),
    // whichever leaves more zeros to compress.
    const size_t stride = static_cast<size_t>(surface.width()) * 3;
    std::vector<uint8_t> scanlines;
    scanlines.reserve((stride + 1) * surface.height());
    std::vector<uint8_t> above(stride, 0);
    std::vector<uint8_t> row(stride);
    for (int y = 0; y < surface.height(); ++y) {
        const uint32_t* pixels = surface.row(y);
        for (int x = 0; x < surface.width(); ++x) {
            row[3 * x] = static_cast<uint8_t>(pixels[x] >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(pixels[x] >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(pixels[x]);
        }
        size_t plain_zeros = 0;
        size_t up_zeros = 0;
        for (size_t i = 0; i < stride; ++i) {
            plain_zeros += row[i] == 0;
            up_zeros += row[i] == above[i];
        }
        const bool up = y > 0 && up_zeros > plain_zeros;
        scanlines.push_back(up ? 2 : 0);
        for (size_t i = 0; i < stride; ++i)
            scanlines.push_back(up ? static_cast<uint8_t>(row[i] - above[i]) : row[i]);
        above.swap(row);
    }
    std::vector<uint8_t> header;
    put_be32(header, static_cast<uint32_t>(surface.width()));
    put_be32(header, static_cast<uint32_t>(surface.height()));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, filters per row, no interlace

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", zlib_deflate(scanlines));
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
