// The skins the build ships: they load with all their pictures, accept the program's
// version key on every screen they were drawn for, on both devices and in both
// orientations, and hold there every form and control the program looks up
// (tests/skinner/skin_names.txt).

#include "skinner/skin/properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

using skinner::Point;
using skinner::SkinDevice;

namespace {

const std::u16string default_skin = u"" MELODRIFT_BIN_DIR "/skins/default/default.skin";
const std::u16string dialogs_skin = u"" MELODRIFT_BIN_DIR "/skins/settings/dialogs.skin";

struct Screen {
    bool smartphone;
    platform::Size size;
    int scale;
    Point main_size; // the size of the chosen variant of FormMain, scaled

    std::string name() const
    {
        return std::string(smartphone ? "Smartphone " : "Pocket PC ") + std::to_string(size.width) + "x" +
            std::to_string(size.height);
    }
};

// Portrait and landscape, at design size and doubled, on both devices.
const Screen screens[] = {
    {false, {240, 320}, 1, {240, 266}},
    {false, {480, 640}, 2, {480, 532}},
    {false, {320, 240}, 1, {320, 188}},
    {false, {640, 480}, 2, {640, 376}},
    {true, {240, 320}, 1, {240, 266}},
    {true, {480, 640}, 2, {480, 532}},
    {true, {320, 240}, 1, {320, 188}},
    {true, {640, 480}, 2, {640, 376}},
    {true, {176, 220}, 1, {176, 176}},
    {true, {352, 440}, 2, {352, 352}},
    {true, {220, 176}, 1, {176, 176}},
    {true, {440, 352}, 2, {352, 352}},
};

struct Lookup {
    std::string skin; // "default" or "dialogs"
    std::string form; // "FORM", or "FORM/PANEL" for the panel's template form
    std::vector<std::string> controls;
};

std::vector<Lookup> read_lookups()
{
    std::vector<Lookup> lookups;
    std::ifstream in(MELODRIFT_SOURCE_DIR "/tests/skinner/skin_names.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        Lookup lookup;
        if (!(words >> lookup.skin) || lookup.skin[0] == '#')
            continue;
        words >> lookup.form;
        for (std::string control; words >> control;)
            lookup.controls.push_back(control);
        lookups.push_back(lookup);
    }
    return lookups;
}

std::u16string wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// Checks one line of the table on a loaded skin.
void expect_lookup(skinner::SkinReader& reader, const Lookup& lookup, const std::string& where)
{
    std::u16string form = wide(lookup.form);
    if (const size_t slash = form.find(u'/'); slash != std::u16string::npos) {
        const std::u16string owner = form.substr(0, slash);
        const std::u16string panel = form.substr(slash + 1);
        ASSERT_NE(reader.find_form(owner), 0u) << where << ": " << lookup.form;
        const std::vector<std::u16string> names = reader.form_control_names(owner);
        ASSERT_NE(std::find(names.begin(), names.end(), panel), names.end()) << where << ": " << lookup.form;
        const auto template_name = reader.string(reader.find_node(owner, panel), u"FormTemplate");
        ASSERT_TRUE(template_name && !template_name->empty()) << where << ": " << lookup.form << " has no template";
        form = *template_name;
    }
    ASSERT_NE(reader.find_form(form), 0u) << where << ": no variant of " << lookup.form << " fits";
    const std::vector<std::u16string> names = reader.form_control_names(form);
    for (const std::string& control : lookup.controls) {
        EXPECT_NE(std::find(names.begin(), names.end(), wide(control)), names.end())
            << where << ": " << lookup.form << " has no control " << control;
    }
}

TEST(SkinShipped, EverySkinHoldsWhatTheProgramLooksUpOnEveryScreen)
{
    ASSERT_TRUE(std::filesystem::exists(MELODRIFT_BIN_DIR "/skins/default/default.skin"))
        << "the build's skins target compiles it";
    const std::vector<Lookup> lookups = read_lookups();
    ASSERT_GE(lookups.size(), 5u);
    for (const Screen& screen : screens) {
        for (const std::u16string& path : {default_skin, dialogs_skin}) {
            const std::string where = screen.name() + (path == default_skin ? " default" : " dialogs");
            skinner::PropertiesImpl skin(path, screen.size, SkinDevice{screen.smartphone, false});
            skinner::SkinReader& reader = skin.reader();
            ASSERT_TRUE(reader.is_valid()) << where << ": every picture loads at this scale";
            EXPECT_TRUE(reader.check_version(u"Melodrift_1.00", screen.size)) << where;
            EXPECT_EQ(reader.scale(), screen.scale) << where;
            for (const Lookup& lookup : lookups) {
                if ((lookup.skin == "default") == (path == default_skin))
                    expect_lookup(reader, lookup, where);
            }
            if (path == default_skin) {
                EXPECT_EQ(reader.point(reader.form_node(u"FormMain"), u"Size"), screen.main_size) << where;
            }
        }
    }
}

TEST(SkinShipped, DefaultSkinRefusesScreensWithoutALayout)
{
    skinner::PropertiesImpl skin(default_skin, {240, 400}, SkinDevice{false, false});
    EXPECT_TRUE(skin.reader().is_valid());
    EXPECT_FALSE(skin.reader().check_version(u"Melodrift_1.00", {240, 400}));
}

// Every form has a title: a caption button the form itself creates.
TEST(SkinShipped, EveryFormHasACaption)
{
    for (const std::u16string& path : {default_skin, dialogs_skin}) {
        skinner::PropertiesImpl skin(path, {240, 320}, SkinDevice{false, false});
        skinner::SkinReader& reader = skin.reader();
        for (const Lookup& lookup : read_lookups()) {
            if ((lookup.skin == "default") != (path == default_skin) || lookup.form.find('/') != std::string::npos)
                continue;
            const std::u16string form = wide(lookup.form);
            const auto action = reader.string(reader.find_node(form, u"btnCaption"), u"Action");
            EXPECT_EQ(action.value_or(u""), u"CAPTION") << lookup.form;
            EXPECT_TRUE(reader.string(reader.find_node(form, u"btnCaption"), u"Text")) << lookup.form;
        }
    }
}

} // namespace
