#include "tests/support/reference_image.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "liba/text.h"
#include "platform/device_context.h"
#include "platform/png_writer.h"
#include "png/png_image.h"

namespace ui_test {

namespace {

namespace fs = std::filesystem;

fs::path reference_path(const std::string& name)
{
    const fs::path relative(name);
    return fs::path(MELODRIFT_SOURCE_DIR) / "tests" / relative.parent_path() / "references" /
        (relative.filename().string() + ".png");
}

fs::path scratch_path(const std::string& name, const std::string& suffix)
{
    const char* tmp = std::getenv("MELODRIFT_TEST_TMP");
    const fs::path folder = fs::path(tmp && *tmp ? tmp : "/tmp") / "references";
    fs::create_directories(folder);
    std::string flat = name;
    for (char& c : flat)
        if (c == '/')
            c = '-';
    return folder / (flat + suffix + ".png");
}

bool updating()
{
    const char* update = std::getenv("MELODRIFT_UPDATE_REFERENCES");
    return update && std::string(update) == "1";
}

std::unique_ptr<platform::Surface> crop(const platform::Surface& picture, const platform::Rect& area)
{
    auto part = platform::Surface::create(area.width, area.height);
    if (!part)
        return nullptr;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            part->set_pixel(x, y, picture.pixel(area.x + x, area.y + y));
    return part;
}

// Matching pixels as a faint grey of themselves, differing ones red.
std::unique_ptr<platform::Surface> difference(const platform::Surface& actual, const platform::Surface& expected)
{
    auto diff = platform::Surface::create(actual.width(), actual.height());
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const std::uint32_t a = actual.pixel(x, y);
            if (a != expected.pixel(x, y)) {
                diff->set_pixel(x, y, 0xFF0000);
                continue;
            }
            const std::uint32_t grey = (((a >> 16) & 0xFF) + ((a >> 8) & 0xFF) + (a & 0xFF)) / 3;
            const std::uint32_t faint = 192 + grey / 4;
            diff->set_pixel(x, y, faint * 0x010101);
        }
    return diff;
}

} // namespace

std::unique_ptr<platform::Surface> read_png(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return nullptr;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto image = qel_decode_png(bytes);
    if (!image)
        return nullptr;
    auto surface = platform::Surface::create(image->width, image->height);
    if (!surface)
        return nullptr;
    const std::uint8_t* rgba = image->rgba.data();
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x, rgba += 4)
            surface->set_pixel(x, y, (std::uint32_t{rgba[0]} << 16) | (std::uint32_t{rgba[1]} << 8) | rgba[2]);
    return surface;
}

testing::AssertionResult matches_reference(const platform::Surface& picture, const std::string& name)
{
    return matches_reference(picture, picture.bounds(), name);
}

testing::AssertionResult matches_reference(
    const platform::Surface& picture, const platform::Rect& area, const std::string& name)
{
    const auto actual = crop(picture, area);
    if (!actual)
        return testing::AssertionFailure() << "empty area for reference " << name;
    const fs::path reference = reference_path(name);
    if (updating()) {
        fs::create_directories(reference.parent_path());
        if (!platform::write_png(*actual, liba::to_wide(reference.string())))
            return testing::AssertionFailure() << "cannot write " << reference;
        return testing::AssertionSuccess();
    }
    const auto expected = read_png(reference.string());
    const fs::path actual_path = scratch_path(name, ".actual");
    platform::write_png(*actual, liba::to_wide(actual_path.string()));
    if (!expected)
        return testing::AssertionFailure() << "no reference " << reference << " (the picture is " << actual_path
                                           << "; scripts/update-references makes it the reference)";
    if (expected->width() != actual->width() || expected->height() != actual->height())
        return testing::AssertionFailure()
            << name << ": " << actual->width() << "x" << actual->height() << " against a reference of "
            << expected->width() << "x" << expected->height() << " (see " << actual_path << ")";
    int differing = 0;
    for (int y = 0; y < actual->height(); ++y)
        for (int x = 0; x < actual->width(); ++x)
            differing += actual->pixel(x, y) != expected->pixel(x, y);
    if (differing == 0) {
        fs::remove(actual_path);
        return testing::AssertionSuccess();
    }
    const fs::path diff_path = scratch_path(name, ".diff");
    platform::write_png(*difference(*actual, *expected), liba::to_wide(diff_path.string()));
    return testing::AssertionFailure() << name << ": " << differing << " pixels differ from " << reference << " (see "
                                       << actual_path << " and " << diff_path << ")";
}

testing::AssertionResult png_matches_reference(const std::string& png_path, const std::string& name)
{
    const auto picture = read_png(png_path);
    if (!picture)
        return testing::AssertionFailure() << "cannot read " << png_path;
    return matches_reference(*picture, name);
}

} // namespace ui_test
