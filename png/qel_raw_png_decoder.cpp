#include "png/qel_raw_png_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

enum Filter : uint8_t { none, sub, up, average, paeth };

constexpr uint8_t paeth_predictor(int left, int above, int above_left)
{
    const int to_left = std::abs(above - above_left);
    const int to_above = std::abs(left - above_left);
    const int to_above_left = std::abs(left + above - 2 * above_left);
    if (to_left <= to_above && to_left <= to_above_left)
        return uint8_t(left);
    return uint8_t(to_above <= to_above_left ? above : above_left);
}

// The step bytes before row and before prior are zeros.
template <unsigned step>
void unfilter(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t count)
{
    const uint8_t* left = row - step;
    const uint8_t* above_left = prior - step;
    switch (filter) {
    case sub:
        for (size_t i = 0; i < count; ++i)
            row[i] = uint8_t(row[i] + left[i]);
        break;
    case up:
        for (size_t i = 0; i < count; ++i)
            row[i] = uint8_t(row[i] + prior[i]);
        break;
    case average:
        for (size_t i = 0; i < count; ++i)
            row[i] = uint8_t(row[i] + ((left[i] + prior[i]) >> 1));
        break;
    case paeth:
        for (size_t i = 0; i < count; ++i)
            row[i] = uint8_t(row[i] + paeth_predictor(left[i], prior[i], above_left[i]));
        break;
    default:
        break;
    }
}

constexpr uint8_t opaque = 255;

} // namespace

bool QelRawPngDecoder::prepare_output()
{
    static constexpr Pass whole_image[1] = {{0, 0, 1, 1}};
    static constexpr Pass adam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                      {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

    output_width_ = output_height_ = 0;
    rgba_ = {};
    done_ = true;

    const QelPngInfo& image = info();
    const unsigned kind = unsigned(image.colour_type) << 8 | image.bit_depth;
    unsigned channels = 0;
    switch (kind) {
    case 0 << 8 | 1: kind_ = Kind::grey1; channels = 1; break;
    case 0 << 8 | 8: kind_ = Kind::grey8; channels = 1; break;
    case 2 << 8 | 8: kind_ = Kind::rgb8; channels = 3; break;
    case 2 << 8 | 16: kind_ = Kind::rgb16; channels = 3; break;
    case 3 << 8 | 4: kind_ = Kind::palette4; channels = 1; break;
    case 3 << 8 | 8: kind_ = Kind::palette8; channels = 1; break;
    case 4 << 8 | 8: kind_ = Kind::grey_alpha8; channels = 2; break;
    case 6 << 8 | 8: kind_ = Kind::rgba8; channels = 4; break;
    default: return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > max_side || image.height > max_side)
        return false;
    if (image.interlace_method > 1)
        return false;

    rgba_ = QelPixelBuffer::zeroed(size_t(image.width) * image.height * 4);
    if (rgba_.empty())
        return false;
    output_width_ = image.width;
    output_height_ = image.height;

    bits_per_pixel_ = channels * image.bit_depth;
    bytes_per_pixel_ = bits_per_pixel_ < 8 ? 1 : bits_per_pixel_ / 8;
    const size_t widest_row = (size_t(image.width) * bits_per_pixel_ + 7) / 8;
    rows_.assign(2 * (bytes_per_pixel_ + widest_row), 0);
    current_ = rows_.data() + bytes_per_pixel_;
    previous_ = current_ + widest_row + bytes_per_pixel_;

    passes_ = image.interlace_method == 1 ? adam7 : whole_image;
    pass_count_ = image.interlace_method == 1 ? 7 : 1;
    start_pass(0);
    return true;
}

void QelRawPngDecoder::start_pass(unsigned first)
{
    for (pass_ = first; pass_ < pass_count_; ++pass_) {
        const Pass& pass = passes_[pass_];
        pass_width_ = output_width_ > pass.x ? (output_width_ - pass.x + pass.dx - 1) / pass.dx : 0;
        pass_height_ = output_height_ > pass.y ? (output_height_ - pass.y + pass.dy - 1) / pass.dy : 0;
        if (pass_width_ == 0 || pass_height_ == 0)
            continue;
        row_bytes_ = (size_t(pass_width_) * bits_per_pixel_ + 7) / 8;
        std::memset(previous_, 0, row_bytes_);
        row_ = 0;
        filled_ = 0;
        awaiting_filter_ = true;
        done_ = false;
        return;
    }
    done_ = true;
}

bool QelRawPngDecoder::output_byte(uint8_t byte)
{
    if (awaiting_filter_) {
        // Bytes after the last row, or an unknown filter, end the image.
        if (done_ || byte > paeth)
            return false;
        filter_ = byte;
        awaiting_filter_ = false;
        return true;
    }
    current_[filled_++] = byte;
    return filled_ < row_bytes_ || finish_row();
}

bool QelRawPngDecoder::output_bytes(const uint8_t* bytes, size_t count)
{
    while (count > 0) {
        if (awaiting_filter_) {
            if (!output_byte(*bytes))
                return false;
            ++bytes;
            --count;
            continue;
        }
        const size_t taken = std::min(count, row_bytes_ - filled_);
        std::memcpy(current_ + filled_, bytes, taken);
        filled_ += taken;
        bytes += taken;
        count -= taken;
        if (filled_ == row_bytes_ && !finish_row())
            return false;
    }
    return true;
}

bool QelRawPngDecoder::end_output()
{
    rows_ = {};
    current_ = previous_ = nullptr;
    done_ = true;
    return true;
}

bool QelRawPngDecoder::finish_row()
{
    unfilter_row();
    convert_row();
    std::swap(current_, previous_);
    filled_ = 0;
    awaiting_filter_ = true;
    if (++row_ == pass_height_)
        start_pass(pass_ + 1);
    return !done_;
}

void QelRawPngDecoder::unfilter_row()
{
    switch (bytes_per_pixel_) {
    case 1: unfilter<1>(filter_, current_, previous_, row_bytes_); break;
    case 2: unfilter<2>(filter_, current_, previous_, row_bytes_); break;
    case 3: unfilter<3>(filter_, current_, previous_, row_bytes_); break;
    case 4: unfilter<4>(filter_, current_, previous_, row_bytes_); break;
    default: unfilter<6>(filter_, current_, previous_, row_bytes_); break;
    }
}

void QelRawPngDecoder::put_palette_entry(uint8_t index, uint8_t* pixel) const
{
    const QelPngInfo& image = info();
    if (index >= image.palette_size)
        return;
    std::memcpy(pixel, image.palette[index].data(), 3);
    pixel[3] = image.palette_alpha[index];
}

void QelRawPngDecoder::convert_row()
{
    const Pass& pass = passes_[pass_];
    const size_t y = pass.y + size_t(row_) * pass.dy;
    uint8_t* pixel = rgba_.data() + (y * output_width_ + pass.x) * 4;
    const size_t step = size_t(pass.dx) * 4;
    const uint8_t* in = current_;
    const auto& key = info().transparent_colour;

    switch (kind_) {
    case Kind::grey1:
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step) {
            const unsigned sample = (in[i >> 3] >> (7 - (i & 7))) & 1;
            pixel[0] = pixel[1] = pixel[2] = uint8_t(sample * 255);
            pixel[3] = sample == key[0] ? 0 : opaque;
        }
        break;
    case Kind::grey8:
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step) {
            pixel[0] = pixel[1] = pixel[2] = in[i];
            pixel[3] = in[i] == key[0] ? 0 : opaque;
        }
        break;
    case Kind::rgb8:
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step, in += 3) {
            std::memcpy(pixel, in, 3);
            pixel[3] = in[0] == key[0] && in[1] == key[1] && in[2] == key[2] ? 0 : opaque;
        }
        break;
    case Kind::rgb16:
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step, in += 6) {
            pixel[0] = in[0];
            pixel[1] = in[2];
            pixel[2] = in[4];
            const bool keyed = (in[0] << 8 | in[1]) == int(key[0]) && (in[2] << 8 | in[3]) == int(key[1])
                               && (in[4] << 8 | in[5]) == int(key[2]);
            pixel[3] = keyed ? 0 : opaque;
        }
        break;
    case Kind::palette4:
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step)
            put_palette_entry(uint8_t((in[i >> 1] >> (i & 1 ? 0 : 4)) & 0x0F), pixel);
        break;
    case Kind::palette8:
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step)
            put_palette_entry(in[i], pixel);
        break;
    case Kind::grey_alpha8:
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step, in += 2) {
            pixel[0] = pixel[1] = pixel[2] = in[0];
            pixel[3] = in[1];
        }
        break;
    case Kind::rgba8:
        if (pass.dx == 1) {
            std::memcpy(pixel, in, size_t(pass_width_) * 4);
            break;
        }
        for (uint32_t i = 0; i < pass_width_; ++i, pixel += step, in += 4)
            std::memcpy(pixel, in, 4);
        break;
    }
}

QelPixelBuffer QelRawPngDecoder::take_rgba()
{
    output_width_ = output_height_ = 0;
    return std::move(rgba_);
}

void QelRawPngDecoder::to_bgra(uint8_t* destination) const
{
    const uint8_t* from = rgba_.data();
    const size_t count = size_t(output_width_) * output_height_;
    for (size_t i = 0; i < count; ++i, from += 4, destination += 4) {
        destination[0] = from[2];
        destination[1] = from[1];
        destination[2] = from[0];
        destination[3] = from[3];
    }
}
