#include "png/qel_generic_png_decoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "png/inflate.h"

namespace {

constexpr uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t read_u32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

uint32_t read_u16(const uint8_t* bytes) { return uint32_t(bytes[0]) << 8 | bytes[1]; }

bool is_type(const uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

} // namespace

int QelGenericPngDecoder::decode(const uint8_t* bytes, size_t length)
{
    info_ = QelPngInfo{};
    if (length < sizeof signature || std::memcmp(bytes, signature, sizeof signature) != 0)
        return -1;

    // Chunk: length, type, data, CRC (not checked).
    std::vector<uint8_t> image_data;
    size_t position = sizeof signature;
    while (length - position >= 12) {
        const uint32_t data_length = read_u32(bytes + position);
        if (data_length > length - position - 12)
            break;
        const uint8_t* type = bytes + position + 4;
        const uint8_t* data = bytes + position + 8;
        position += 12 + size_t(data_length);
        if (is_type(type, "IEND"))
            break;
        if (is_type(type, "IDAT"))
            image_data.insert(image_data.end(), data, data + data_length);
        else if (!read_chunk(type, data, data_length))
            return -1;
    }

    if (!prepare_output())
        return 1;
    qel_inflate(image_data, [this](std::span<const uint8_t> run) { return output_bytes(run.data(), run.size()); });
    end_output();
    return 1;
}

bool QelGenericPngDecoder::output_bytes(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (!output_byte(bytes[i]))
            return false;
    }
    return true;
}

bool QelGenericPngDecoder::read_chunk(const uint8_t* type, const uint8_t* data, uint32_t length)
{
    if (is_type(type, "IHDR") && length >= 13) {
        info_.width = read_u32(data);
        info_.height = read_u32(data + 4);
        info_.bit_depth = data[8];
        info_.colour_type = data[9];
        info_.compression_method = data[10];
        info_.filter_method = data[11];
        info_.interlace_method = data[12];
    } else if (is_type(type, "PLTE")) {
        if (length % 3 != 0)
            return false;
        info_.palette_size = std::min<uint32_t>(length / 3, 256);
        for (unsigned i = 0; i < info_.palette_size; ++i)
            std::memcpy(info_.palette[i].data(), data + 3 * i, 3);
    } else if (is_type(type, "tRNS")) {
        if (info_.colour_type == 3) {
            std::copy_n(data, std::min<uint32_t>(length, 256), info_.palette_alpha.begin());
        } else if (info_.colour_type == 0 && length >= 2) {
            info_.transparent_colour[0] = read_u16(data);
        } else if (info_.colour_type == 2 && length >= 6) {
            for (unsigned i = 0; i < 3; ++i)
                info_.transparent_colour[i] = read_u16(data + 2 * i);
        }
    } else if (is_type(type, "gAMA") && length >= 4) {
        info_.gamma = read_u32(data);
    }
    return true;
}
