#pragma once

// Fixture makers for the decoder tests: PNG files written by ImageMagick from pixels
// the test chooses, and hand-made files and zlib streams for what an encoder never
// writes (odd chunks, broken streams).

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace png_fixtures {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

inline fs::path scratch()
{
    const char* root = std::getenv("MELODRIFT_TEST_TMP");
    const fs::path folder = fs::path(root ? root : fs::temp_directory_path().string()) / "png_decoder";
    fs::create_directories(folder);
    return folder;
}

inline Bytes read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void write_file(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Writes rgba (width x height x 4) through ImageMagick with the given options, for
// example "-define png:color-type=3 -define png:bit-depth=4"; empty on failure.
inline Bytes convert_rgba(const std::string& name, int width, int height, const Bytes& rgba,
                          const std::string& options)
{
    const fs::path source = scratch() / (name + ".rgba");
    const fs::path target = scratch() / (name + ".png");
    write_file(source, rgba);
    fs::remove(target);
    const std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height)
                                + " -depth 8 'rgba:" + source.string() + "' " + options + " 'PNG:"
                                + target.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return read_file(target);
}

inline void put_u32(Bytes& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(value >> shift));
}

// Walks the chunks of a well-formed file: offset of each chunk's length field.
inline std::vector<size_t> chunk_offsets(const Bytes& file)
{
    std::vector<size_t> offsets;
    for (size_t at = 8; at + 12 <= file.size();) {
        offsets.push_back(at);
        const uint32_t length = uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        at += 12 + size_t(length);
    }
    return offsets;
}

inline std::string chunk_type(const Bytes& file, size_t offset)
{
    return std::string(file.begin() + long(offset) + 4, file.begin() + long(offset) + 8);
}

// The first deflate block's type in the first "IDAT" chunk: 0 stored, 1 fixed, 2 dynamic.
inline int first_block_type(const Bytes& file)
{
    for (const size_t at : chunk_offsets(file)) {
        if (chunk_type(file, at) == "IDAT")
            return (file[at + 8 + 2] >> 1) & 3;
    }
    return -1;
}

// A file assembled chunk by chunk. CRCs are left zero: the decoder does not read them.
class PngBuilder {
public:
    PngBuilder() : bytes_{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A} {}

    PngBuilder& chunk(const std::string& type, const Bytes& data)
    {
        put_u32(bytes_, uint32_t(data.size()));
        bytes_.insert(bytes_.end(), type.begin(), type.end());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        put_u32(bytes_, 0);
        return *this;
    }
    PngBuilder& header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colour_type, uint8_t interlace = 0)
    {
        Bytes data;
        put_u32(data, width);
        put_u32(data, height);
        data.insert(data.end(), {depth, colour_type, 0, 0, interlace});
        return chunk("IHDR", data);
    }
    PngBuilder& end() { return chunk("IEND", {}); }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// A zlib stream of stored blocks holding data as it stands.
inline Bytes zlib_stored(const Bytes& data)
{
    Bytes out{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t count = std::min<size_t>(data.size() - at, 65535);
        const bool last = at + count == data.size();
        out.insert(out.end(), {uint8_t(last), uint8_t(count), uint8_t(count >> 8), uint8_t(~count),
                               uint8_t(~count >> 8)});
        out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + count));
        at += count;
    } while (at < data.size());
    put_u32(out, 0);  // Adler-32, not read by the decoder
    return out;
}

// Writes deflate bits least significant first, Huffman codes most significant first,
// with the fixed codes for literals, lengths and distances.
class BitWriter {
public:
    explicit BitWriter(Bytes prefix = {0x78, 0x01}) : bytes_(std::move(prefix)) {}

    BitWriter& bits(uint32_t value, unsigned count)
    {
        for (unsigned i = 0; i < count; ++i)
            bit((value >> i) & 1);
        return *this;
    }
    BitWriter& code(uint32_t value, unsigned length)
    {
        for (unsigned i = length; i-- > 0;)
            bit((value >> i) & 1);
        return *this;
    }
    BitWriter& block_header(bool last, unsigned type) { return bits(last, 1).bits(type, 2); }
    BitWriter& fixed_symbol(unsigned symbol)
    {
        if (symbol < 144)
            return code(0x30 + symbol, 8);
        if (symbol < 256)
            return code(0x190 + symbol - 144, 9);
        if (symbol < 280)
            return code(symbol - 256, 7);
        return code(0xC0 + symbol - 280, 8);
    }
    BitWriter& literal(uint8_t byte) { return fixed_symbol(byte); }
    BitWriter& end_of_block() { return fixed_symbol(256); }
    BitWriter& match(unsigned length, unsigned distance)
    {
        static constexpr unsigned length_bases[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr unsigned distance_bases[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,
                                                        33,   49,   65,   97,   129,  193,   257,   385,   513,   769,
                                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        unsigned l = 28;
        while (length_bases[l] > length)
            --l;
        fixed_symbol(257 + l);
        bits(length - length_bases[l], l < 8 || l == 28 ? 0 : l / 4 - 1);
        unsigned d = 29;
        while (distance_bases[d] > distance)
            --d;
        code(d, 5);
        return bits(distance - distance_bases[d], d < 4 ? 0 : d / 2 - 1);
    }
    Bytes finish()
    {
        if (used_ != 0)
            bytes_.push_back(pending_);
        used_ = 0;
        pending_ = 0;
        return bytes_;
    }

private:
    void bit(uint32_t value)
    {
        pending_ = uint8_t(pending_ | value << used_);
        if (++used_ == 8) {
            bytes_.push_back(pending_);
            pending_ = 0;
            used_ = 0;
        }
    }

    Bytes bytes_;
    uint8_t pending_ = 0;
    unsigned used_ = 0;
};

// Applies one of the five filters to every row of raw scanlines and puts the filter
// type before each row. bpp is the distance to the previous pixel in bytes (at least 1).
inline Bytes filter_rows(const Bytes& raw, size_t row_bytes, size_t bpp, uint8_t type)
{
    auto paeth = [](int a, int b, int c) {
        const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
        return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    };
    Bytes out;
    for (size_t row = 0; row * row_bytes < raw.size(); ++row) {
        out.push_back(type);
        const uint8_t* line = raw.data() + row * row_bytes;
        const uint8_t* prior = row == 0 ? nullptr : line - row_bytes;
        for (size_t i = 0; i < row_bytes; ++i) {
            const int a = i >= bpp ? line[i - bpp] : 0;
            const int b = prior ? prior[i] : 0;
            const int c = prior && i >= bpp ? prior[i - bpp] : 0;
            const int predictions[5] = {0, a, b, (a + b) / 2, paeth(a, b, c)};
            out.push_back(uint8_t(line[i] - predictions[type]));
        }
    }
    return out;
}

// Deterministic pseudo-random bytes.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    uint8_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return uint8_t(state_ >> 8);
    }

private:
    uint32_t state_;
};

} // namespace png_fixtures
