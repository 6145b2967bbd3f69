// The language files the build ships beside the program: each translates every key
// that the code asks for (tests/app/language_keys.txt) and every text the shipped
// skins name, and all of them hold the same keys as English.

#include "liba/string_translator.h"
#include "liba/text.h"
#include "os/language_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path program_folder = MELODRIFT_BIN_DIR;

std::set<std::string> code_keys()
{
    std::set<std::string> keys;
    std::ifstream in(MELODRIFT_SOURCE_DIR "/tests/app/language_keys.txt");
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#')
            keys.insert(line);
    }
    return keys;
}

std::string xml_unescaped(std::string text)
{
    static const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, character] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::string(entity).size(), character);
    }
    return text;
}

// The texts of the buttons, check boxes and frames of a compiled skin, as the
// compiler reads it back.
std::set<std::string> skin_keys(const fs::path& skin)
{
    std::set<std::string> keys;
    const std::string command = "'" + (program_folder / "skinc").string() + "' --dump '" + skin.string() + "'";
    const std::unique_ptr<FILE, int (*)(FILE*)> dump(popen(command.c_str(), "r"), pclose);
    std::string source;
    std::array<char, 4096> buffer;
    for (size_t n; dump && (n = fread(buffer.data(), 1, buffer.size(), dump.get())) > 0;)
        source.append(buffer.data(), n);
    static const std::regex text(R"re(<string name="(Text|CheckedText)" value="([^"]+)")re");
    for (auto match = std::sregex_iterator(source.begin(), source.end(), text); match != std::sregex_iterator();
         ++match)
        keys.insert(xml_unescaped((*match)[2]));
    return keys;
}

std::vector<fs::path> skin_files()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(program_folder / "skins")) {
        if (entry.path().extension() == ".skin")
            files.push_back(entry.path());
    }
    return files;
}

// The language files beside the program, where its Language menu finds them.
std::vector<fs::path> language_files()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(program_folder)) {
        if (entry.path().extension() == ".lng")
            files.push_back(entry.path());
    }
    return files;
}

liba::StringTranslator load(const fs::path& file)
{
    liba::StringTranslator translator;
    EXPECT_TRUE(os::load_language_file(translator, liba::to_wide(file.string()))) << file;
    return translator;
}

TEST(LanguageFiles, EveryShippedLanguageTranslatesEveryKeyInUse)
{
    std::set<std::string> keys = code_keys();
    ASSERT_GE(keys.size(), 20u);
    const std::vector<fs::path> skins = skin_files();
    ASSERT_GE(skins.size(), 2u) << "the build's skins target compiles them";
    for (const fs::path& skin : skins) {
        const std::set<std::string> texts = skin_keys(skin);
        EXPECT_FALSE(texts.empty()) << skin;
        keys.insert(texts.begin(), texts.end());
    }

    const std::vector<fs::path> languages = language_files();
    ASSERT_GE(languages.size(), 3u) << "English and two translations beside the program";
    ASSERT_TRUE(fs::exists(program_folder / "English.lng"));
    for (const fs::path& language : languages) {
        const liba::StringTranslator translator = load(language);
        for (const std::string& key : keys) {
            const auto entry = translator.entries().find(liba::to_wide(key));
            ASSERT_NE(entry, translator.entries().end()) << language.filename() << " lacks " << key;
            EXPECT_FALSE(entry->second.empty()) << language.filename() << ": " << key;
        }
    }
}

TEST(LanguageFiles, TranslationsHoldEnglishKeysAndNoOthers)
{
    const liba::StringTranslator english = load(program_folder / "English.lng");
    std::set<std::u16string> english_keys;
    for (const auto& [key, text] : english.entries())
        english_keys.insert(key);
    for (const fs::path& language : language_files()) {
        const liba::StringTranslator translation = load(language);
        std::set<std::u16string> keys;
        for (const auto& [key, text] : translation.entries())
            keys.insert(key);
        EXPECT_EQ(keys, english_keys) << language.filename();
    }
}

TEST(LanguageFiles, HelpLinkNamesAPageBesideTheProgram)
{
    for (const fs::path& language : language_files()) {
        const std::string link = liba::to_narrow(load(language).translate(u"Help_link"));
        EXPECT_TRUE(fs::is_regular_file(program_folder / link)) << language.filename() << ": " << link;
    }
}

} // namespace
