#include "skinner/draw/image_search.h"

#include "os/file.h"
#include "os/path.h"
#include "platform/image_loader.h"
#include "png/qel_raw_png_decoder.h"
#include "skinner/draw/raw_bmp_reader.h"

namespace skinner {
namespace {

// Reads a whole stream of known size; false on a short read.
bool read_all(liba::ResourceReader& reader, std::vector<uint8_t>& bytes)
{
    const int32_t size = reader.size();
    if (size <= 0 || !reader.ok())
        return false;
    bytes.resize(static_cast<size_t>(size));
    return reader.read(bytes.data(), size) == size;
}

} // namespace

std::unique_ptr<platform::Surface> decode_png(const std::vector<uint8_t>& bytes)
{
    QelRawPngDecoder decoder;
    if (decoder.decode(bytes.data(), bytes.size()) < 0 || decoder.output_width() == 0 || decoder.output_height() == 0)
        return nullptr;
    auto surface = platform::Surface::create(static_cast<int>(decoder.output_width()),
        static_cast<int>(decoder.output_height()));
    if (!surface)
        return nullptr;
    const uint8_t* rgba = decoder.rgba();
    uint32_t* out = surface->pixels();
    const size_t count = static_cast<size_t>(surface->width()) * surface->height();
    for (size_t i = 0; i < count; ++i, rgba += 4)
        out[i] = (uint32_t{rgba[0]} << 16) | (uint32_t{rgba[1]} << 8) | rgba[2];
    return surface;
}

ImageSearch::ImageSearch(std::u16string_view skin_path)
    : archive_(skin_path)
    , folder_(os::directory_part(skin_path))
{
}

std::unique_ptr<platform::Surface> ImageSearch::load(std::u16string_view name)
{
    std::unique_ptr<platform::Surface> image;
    switch (from_archive(name, image)) {
    case Found::image: return image;
    case Found::broken: return nullptr;
    case Found::missing: return from_folder(name);
    }
    return nullptr;
}

ImageSearch::Found ImageSearch::from_archive(std::u16string_view name, std::unique_ptr<platform::Surface>& image)
{
    const std::u16string base(name);
    std::vector<uint8_t> bytes;
    if (archive_.find_entry(base + u".gif")) {
        if (read_all(archive_, bytes))
            image = platform::decode_image(bytes);
        return image ? Found::image : Found::broken;
    }
    if (archive_.find_entry(base + u".bmp")) {
        if (read_all(archive_, bytes)) {
            image = platform::decode_image(bytes);
            if (!image)
                image = read_raw_bmp(bytes, name);
        }
        return image ? Found::image : Found::broken;
    }
    return Found::missing;
}

std::unique_ptr<platform::Surface> ImageSearch::from_folder(std::u16string_view name)
{
    const std::u16string base = os::join_path(folder_, name);
    std::vector<uint8_t> bytes;
    const auto read_file = [&](const std::u16string& path) {
        os::File file(path, os::File::read_only);
        return file.is_open() && read_all(file, bytes);
    };
    if (read_file(base + u".png"))
        if (auto image = decode_png(bytes))
            return image;
    for (const char16_t* extension : {u".bmp", u".gif", u".jpg"})
        if (read_file(base + extension))
            if (auto image = platform::decode_image(bytes))
                return image;
    return nullptr;
}

} // namespace skinner
