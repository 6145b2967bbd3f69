#pragma once

#include <cstdint>
#include <vector>

#include "png/pixel_buffer.h"
#include "png/qel_generic_png_decoder.h"

// Makes 8-bit red, green, blue, alpha pixels of the image kinds skin artwork uses:
// grey (1 or 8 bits), RGB (8 or 16), palette (4 or 8), grey with alpha (8) and RGB
// with alpha (8), plain or Adam7-interlaced. Other kinds are refused: the output
// stays 0 x 0.
class QelRawPngDecoder final : public QelGenericPngDecoder {
public:
    // Larger images are refused, which also keeps width x height x 4 well inside size_t.
    static constexpr uint32_t max_side = 16384;

    QelRawPngDecoder() = default;

    uint32_t output_width() const { return output_width_; }
    uint32_t output_height() const { return output_height_; }
    // Rows top to bottom, 4 bytes a pixel; pixels the image data did not reach are
    // transparent black. Null before a successful decode.
    const uint8_t* rgba() const { return rgba_.data(); }
    // Hands the pixels over; the decoder is left empty, 0 x 0.
    QelPixelBuffer take_rgba();
    // Copies the pixels into destination (output width x height x 4 bytes) in the
    // order blue, green, red, alpha.
    void to_bgra(uint8_t* destination) const;

private:
    enum class Kind { grey1, grey8, rgb8, rgb16, palette4, palette8, grey_alpha8, rgba8 };
    struct Pass {
        uint8_t x, y, dx, dy;
    };

    bool prepare_output() override;
    bool output_byte(uint8_t byte) override;
    bool end_output() override;
    bool output_bytes(const uint8_t* bytes, size_t count) override;

    void start_pass(unsigned first);
    bool finish_row();
    void unfilter_row();
    void convert_row();
    void put_palette_entry(uint8_t index, uint8_t* pixel) const;

    uint32_t output_width_ = 0;
    uint32_t output_height_ = 0;
    QelPixelBuffer rgba_;

    Kind kind_ = Kind::rgba8;
    unsigned bits_per_pixel_ = 0;
    unsigned bytes_per_pixel_ = 0;  // the filters' distance to the previous pixel, at least 1
    const Pass* passes_ = nullptr;
    unsigned pass_count_ = 0;
    unsigned pass_ = 0;
    uint32_t pass_width_ = 0;
    uint32_t pass_height_ = 0;
    uint32_t row_ = 0;
    size_t row_bytes_ = 0;
    size_t filled_ = 0;
    bool awaiting_filter_ = true;
    uint8_t filter_ = 0;
    bool done_ = true;
    // The current and the previous row, each preceded by one pixel of zeros so the
    // filters need no special case at the left edge.
    std::vector<uint8_t> rows_;
    uint8_t* current_ = nullptr;
    uint8_t* previous_ = nullptr;
};
