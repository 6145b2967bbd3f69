// The shipped skins' texts fit their controls in every shipped language, on every
// screen: a one-line text within the control's width, a wrapped one within its
// height, measured with the control's own font at the skin's scale.

#include "skinner/skin/properties_impl.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "liba/text.h"
#include "os/language_file.h"
#include "platform/font.h"

using skinner::Point;
using skinner::SkinDevice;
using skinner::SkinReader;

namespace {

namespace fs = std::filesystem;

struct Screen {
    bool smartphone;
    platform::Size size;
};

const Screen screens[] = {
    {false, {240, 320}},
    {false, {320, 240}},
    {false, {480, 640}},
    {true, {176, 220}},
    {true, {220, 176}},
    {true, {240, 320}},
    {true, {320, 240}},
    {true, {352, 440}},
};

// A form and the controls to measure: the skin's own texts, and those the program
// puts into a control (key empty: only what the skin says).
struct Measured {
    const char16_t* skin;
    const char16_t* form;
    const char16_t* panel; // the panel whose template holds the controls, or empty
    const char16_t* control;
    const char16_t* program_key;
};

const Measured measured[] = {
    {u"default", u"FormMain", u"panelStart", u"", u""},
    {u"default", u"FormMain", u"panelFinish", u"", u""},
    {u"default", u"FormMain", u"panelSave", u"", u""},
    {u"default", u"FormMain", u"panelFile", u"frmFolder", u"My_device"},
    {u"default", u"FormSave", u"", u"", u""},
    {u"default", u"FormReport", u"", u"frmReport", u"Can't_make_ringtone"},
    {u"default", u"FormConverting", u"", u"frmConverting", u"Converting1"},
    {u"default", u"FormConverting", u"", u"frmConverting", u"Converting2"},
    {u"dialogs", u"About", u"", u"", u""},
};

std::vector<fs::path> languages()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(MELODRIFT_BIN_DIR)) {
        if (entry.path().extension() == ".lng")
            files.push_back(entry.path());
    }
    return files;
}

std::vector<std::u16string> words_of(const std::u16string& text)
{
    std::vector<std::u16string> words;
    std::u16string word;
    for (const char16_t c : text + u" ") {
        if (c > u' ') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

// The lines a wrapping frame breaks the text into, at blanks, for this width.
int wrapped_lines(const platform::Font& font, const std::u16string& text, int width)
{
    std::u16string line;
    int lines = 0;
    for (const std::u16string& word : words_of(text)) {
        const std::u16string longer = line.empty() ? word : line + u" " + word;
        if (!line.empty() && font.text_extent(longer).width > width) {
            ++lines;
            line = word;
        } else {
            line = longer;
        }
    }
    return lines + (line.empty() ? 0 : 1);
}

class TextFit {
public:
    TextFit(skinner::PropertiesImpl& skin, const liba::StringTranslator& language, std::string where)
        : skin_(skin)
        , reader_(skin.reader())
        , language_(language)
        , where_(std::move(where))
    {
    }

    void expect_fits(std::u16string_view form, std::u16string_view control, const std::u16string& text)
    {
        const SkinReader::Offset node = reader_.find_node(form, control);
        const std::optional<uint32_t> font_index = reader_.font(node, u"Normal");
        const Point size = reader_.point(node, u"Size").value_or(Point{});
        if (!font_index || size.x == 0 || reader_.string(node, u"Action").value_or(u"") == u"CAPTION")
            return;
        const platform::Font* font = skin_.font(*font_index).handle();
        ASSERT_NE(font, nullptr);
        const Point border_min = reader_.point(node, u"BorderMin").value_or(Point{});
        const Point border_max = reader_.point(node, u"BorderMax").value_or(border_min);
        const int width = size.x - border_min.x - border_max.x;
        const int height = size.y - border_min.y - border_max.y;
        const std::u16string shown = language_.translate(text);
        const std::string what = where_ + " " + liba::to_narrow(form) + "/" + liba::to_narrow(control) + " \"" +
            liba::to_narrow(shown) + "\"";
        if (reader_.integer(node, u"Wrap").value_or(0) != 0) {
            const int lines = wrapped_lines(*font, shown, width);
            EXPECT_LE(lines * font->text_extent(u"Ag").height, height) << what << ": " << lines << " lines";
        } else {
            EXPECT_LE(font->text_extent(shown).width, width) << what;
        }
    }

    // Every control of the form with a text of its own in the skin.
    void expect_skin_texts_fit(std::u16string_view form)
    {
        for (const std::u16string& control : reader_.form_control_names(form)) {
            const SkinReader::Offset node = reader_.find_node(form, control);
            for (const char16_t* property : {u"Text", u"CheckedText"}) {
                if (const auto text = reader_.string(node, property))
                    expect_fits(form, control, *text);
            }
        }
    }

private:
    skinner::PropertiesImpl& skin_;
    SkinReader& reader_;
    const liba::StringTranslator& language_;
    std::string where_;
};

TEST(SkinTexts, FitTheirControlsInEveryLanguageOnEveryScreen)
{
    const std::vector<fs::path> files = languages();
    ASSERT_GE(files.size(), 3u);
    for (const fs::path& file : files) {
        liba::StringTranslator language;
        ASSERT_TRUE(os::load_language_file(language, liba::to_wide(file.string())));
        for (const Screen& screen : screens) {
            for (const std::u16string skin_name : {u"default", u"dialogs"}) {
                const std::u16string path = std::u16string(u"" MELODRIFT_BIN_DIR "/skins/") +
                    (skin_name == u"default" ? u"default/default" : u"settings/dialogs") + u".skin";
                skinner::PropertiesImpl skin(path, screen.size, SkinDevice{screen.smartphone, false});
                ASSERT_TRUE(skin.reader().is_valid());
                const std::string where = file.filename().string() +
                    (screen.smartphone ? " Smartphone " : " Pocket PC ") + std::to_string(screen.size.width) + "x" +
                    std::to_string(screen.size.height);
                TextFit fit(skin, language, where);
                for (const Measured& m : measured) {
                    if (m.skin != skin_name)
                        continue;
                    std::u16string form = m.form;
                    if (*m.panel)
                        form = skin.reader().string(skin.reader().find_node(form, m.panel), u"FormTemplate").value();
                    if (*m.program_key)
                        fit.expect_fits(form, m.control, m.program_key);
                    else
                        fit.expect_skin_texts_fit(form);
                }
            }
        }
    }
}

} // namespace
