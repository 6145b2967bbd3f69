#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "liba/text.h"
#include "platform/device_context.h"
#include "platform/png_writer.h"

namespace skinner::testing {

namespace fs = std::filesystem;

// A fresh folder per test under the test scratch area, holding a skin path whose
// pictures the test writes beside it (loose files) or into it (a stored zip).
class SkinFolder {
public:
    explicit SkinFolder(const std::string& test_name)
    {
        const char* root = std::getenv("MELODRIFT_TEST_TMP");
        folder_ = fs::path(root ? root : fs::temp_directory_path().string()) / "skinner_draw" / test_name;
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }

    fs::path path(const std::string& file) const { return folder_ / file; }
    std::u16string skin_path() const { return liba::to_wide(path("test.skin").string()); }

    void write_png(const std::string& name, const platform::Surface& surface) const
    {
        platform::write_png(surface, liba::to_wide(path(name + ".png").string()));
    }

    static void write_bytes(const fs::path& file, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<uint8_t> read_bytes(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The skin file as a zip archive of stored members (local headers suffice).
    void write_archive(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& members) const
    {
        std::vector<uint8_t> zip;
        const auto put = [&](uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i)
                zip.push_back(static_cast<uint8_t>(value >> (8 * i)));
        };
        for (const auto& [name, data] : members) {
            put(0x04034b50, 4);
            put(10, 2), put(0, 2), put(0, 2), put(0, 2), put(0, 2), put(0, 4);
            put(static_cast<uint32_t>(data.size()), 4), put(static_cast<uint32_t>(data.size()), 4);
            put(static_cast<uint32_t>(name.size()), 2), put(0, 2);
            zip.insert(zip.end(), name.begin(), name.end());
            zip.insert(zip.end(), data.begin(), data.end());
        }
        write_bytes(path("test.skin"), zip);
    }

private:
    fs::path folder_;
};

// A surface from rows of colours.
inline std::unique_ptr<platform::Surface> image(std::initializer_list<std::initializer_list<uint32_t>> rows)
{
    auto made = platform::Surface::create(static_cast<int>(rows.begin()->size()), static_cast<int>(rows.size()));
    int y = 0;
    for (const auto& row : rows) {
        int x = 0;
        for (const uint32_t pixel : row)
            made->set_pixel(x++, y, pixel);
        ++y;
    }
    return made;
}

inline std::unique_ptr<platform::Surface> solid(int width, int height, uint32_t pixel)
{
    auto made = platform::Surface::create(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            made->set_pixel(x, y, pixel);
    return made;
}

// An image made by ImageMagick from a command-line drawing, read back as bytes.
inline std::vector<uint8_t> convert_image(const fs::path& file, const std::string& drawing)
{
    const std::string command = "convert " + drawing + " '" + file.string() + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return SkinFolder::read_bytes(file);
}

// A destination surface with a context selected, filled with one colour.
struct Target {
    Target(int width, int height, uint32_t background)
        : surface(solid(width, height, background))
    {
        context.select(surface.get());
    }

    uint32_t at(int x, int y) const { return surface->pixel(x, y) & 0xFFFFFF; }
    std::vector<uint32_t> row(int y) const
    {
        std::vector<uint32_t> pixels;
        for (int x = 0; x < surface->width(); ++x)
            pixels.push_back(at(x, y));
        return pixels;
    }

    std::unique_ptr<platform::Surface> surface;
    platform::DeviceContext context;
};

} // namespace skinner::testing
