#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What the chunks before the image data say about an image.
struct QelPngInfo {
    static constexpr uint32_t unset = 0xFFFFFFFF;

    // "IHDR"
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bit_depth = 0;
    uint8_t colour_type = 0;
    uint8_t compression_method = 0;
    uint8_t filter_method = 0;
    uint8_t interlace_method = 0;

    // "PLTE", with the entries' alpha values from "tRNS" (255 where it gives none).
    unsigned palette_size = 0;
    std::array<std::array<uint8_t, 3>, 256> palette{};
    std::array<uint8_t, 256> palette_alpha = [] {
        std::array<uint8_t, 256> opaque;
        opaque.fill(255);
        return opaque;
    }();

    // "tRNS" for images without a palette: grey in the first value, or red, green, blue.
    std::array<uint32_t, 3> transparent_colour{unset, unset, unset};

    // "gAMA": gamma times 100000; kept, not applied.
    uint32_t gamma = 100000;
};

// Reads the chunks of a PNG file and inflates its image data, handing every inflated
// byte to the derived class, which makes the pixels.
class QelGenericPngDecoder {
public:
    // -1 when the signature is wrong or a palette's length is not a multiple of 3;
    // otherwise 1, also when the derived class refused the image or the data broke off.
    int decode(const uint8_t* bytes, size_t length);

    const QelPngInfo& info() const { return info_; }

protected:
    QelGenericPngDecoder() = default;
    // Not virtual: decoders are owned as their own type, so the table holds just
    // the operations below, in this order.
    ~QelGenericPngDecoder() = default;
    QelGenericPngDecoder(const QelGenericPngDecoder&) = delete;
    QelGenericPngDecoder& operator=(const QelGenericPngDecoder&) = delete;

    // Called once after the chunks were read, before any image data; false stops decoding.
    virtual bool prepare_output() = 0;
    // Called for every inflated byte, in stream order; false stops inflating.
    virtual bool output_byte(uint8_t byte) = 0;
    // Called after the inflater finished.
    virtual bool end_output() = 0;
    // The inflated bytes a run at a time, for decoders that can take them faster
    // than byte by byte; by default each goes to output_byte. False stops inflating.
    virtual bool output_bytes(const uint8_t* bytes, size_t count);

private:
    // False for a malformed palette, which fails the whole decode.
    bool read_chunk(const uint8_t* type, const uint8_t* data, uint32_t length);

    QelPngInfo info_;
};
