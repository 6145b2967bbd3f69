#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/surface.h"

// Screens compared with reference pictures kept in the tree. A reference named
// "FOLDER/NAME" is tests/FOLDER/references/NAME.png, read with the program's own PNG
// decoder. On a mismatch the actual picture and a difference picture (matching
// pixels dimmed, differing ones red) are written to the test's scratch folder, and the
// message says where. Run the tests with MELODRIFT_UPDATE_REFERENCES=1 in the
// environment (scripts/update-references) to write the pictures as the new
// references instead.
namespace ui_test {

testing::AssertionResult matches_reference(const platform::Surface& picture, const std::string& name);
// Only a rectangle of the picture.
testing::AssertionResult matches_reference(
    const platform::Surface& picture, const platform::Rect& area, const std::string& name);
// A PNG file the program wrote (a screenshot step of a script).
testing::AssertionResult png_matches_reference(const std::string& png_path, const std::string& name);

// A PNG file as a surface; null when it cannot be read or decoded.
std::unique_ptr<platform::Surface> read_png(const std::string& path);

} // namespace ui_test
