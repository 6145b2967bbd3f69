// skinc: compiles a skin source into a binary skin file, and prints binary skins back.

#include "tools/skinc/skin_archive.h"
#include "tools/skinc/skin_dump.h"
#include "tools/skinc/skin_source.h"
#include "tools/skinc/skin_writer.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;

namespace {

const char usage[] = R"(Usage: skinc SOURCE.xml [-o SKIN] [--zip ARCHIVE] [--images FOLDER]
       skinc --dump SKIN
       skinc --help

Compiles a skin source (XML, see data/skins/README.md) into a binary skin file.
  -o SKIN           write the binary skin to SKIN
  --zip ARCHIVE     write a zip archive (stored members) holding the skin and the
                    image files of its pictures
  --images FOLDER   where the pictures' image files are (default: the source's folder)
  --dump SKIN       check a binary skin and print it as skin source
  --help            show this text
Exit status: 0 on success, 1 when the input is rejected, 2 on a usage error.
)";

int usage_error(const std::string& message)
{
    std::cerr << "skinc: " << message << "\n" << usage;
    return 2;
}

int failure(const std::string& message)
{
    std::cerr << "skinc: " << message << "\n";
    return 1;
}

bool read_file(const fs::path& file, std::vector<uint8_t>& bytes)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int dump(const fs::path& file)
{
    std::vector<uint8_t> bytes;
    if (!read_file(file, bytes))
        return failure(file.string() + ": cannot be read");
    std::string error;
    if (!skinc::dump_skin(bytes, std::cout, error))
        return failure(file.string() + ": not a well-formed skin: " + error);
    return 0;
}

// The image files of a picture: its own and its masks and pre-scaled variants
// (name_1, name_8, name_x2 and so on), in any of the supported formats.
std::vector<fs::path> picture_files(const fs::path& folder, const std::vector<std::u16string>& pictures)
{
    static const std::set<std::string> extensions = {".png", ".bmp", ".gif", ".jpg"};
    std::set<fs::path> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (!entry.is_regular_file() || !extensions.count(entry.path().extension().string()))
            continue;
        const std::string stem = entry.path().stem().string();
        for (const std::u16string& picture : pictures) {
            const std::string name = skinc::to_utf8(picture);
            if (stem == name || (stem.size() > name.size() && stem.compare(0, name.size(), name) == 0 &&
                                 stem[name.size()] == '_'))
                files.insert(entry.path());
        }
    }
    return {files.begin(), files.end()};
}

int compile(const fs::path& source, const fs::path& output, const fs::path& archive, fs::path images)
{
    if (images.empty())
        images = source.parent_path().empty() ? fs::path(".") : source.parent_path();
    skinc::SkinSource skin;
    std::string error;
    if (!skinc::parse_skin_source(source, images, skin, error))
        return failure(error);
    std::vector<uint8_t> bytes;
    if (!skinc::write_skin(skin, bytes, error))
        return failure(source.string() + ": " + error);
    if (!output.empty() && !skinc::write_file(output, bytes, error))
        return failure(error);
    if (!archive.empty()) {
        std::vector<skinc::ArchiveMember> members;
        members.push_back({archive.stem().string() + ".skin", bytes});
        for (const fs::path& file : picture_files(images, skinc::picture_list(skin))) {
            skinc::ArchiveMember member{file.filename().string(), {}};
            if (!read_file(file, member.bytes))
                return failure(file.string() + ": cannot be read");
            members.push_back(std::move(member));
        }
        if (!skinc::write_file(archive, skinc::stored_zip(members), error))
            return failure(error);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    fs::path source, output, archive, images, dumped;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool has_value = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            std::cout << usage;
            return 0;
        } else if (argument == "-o" || argument == "--zip" || argument == "--images" || argument == "--dump") {
            if (!has_value)
                return usage_error(argument + " needs a value");
            fs::path& target = argument == "-o" ? output : argument == "--zip" ? archive
                                                       : argument == "--images" ? images
                                                                                : dumped;
            target = arguments[++i];
        } else if (!argument.empty() && argument[0] == '-') {
            return usage_error("unknown option " + argument);
        } else if (source.empty()) {
            source = argument;
        } else {
            return usage_error("more than one source: " + argument);
        }
    }
    if (!dumped.empty()) {
        if (!source.empty() || !output.empty() || !archive.empty())
            return usage_error("--dump takes only the skin to print");
        return dump(dumped);
    }
    if (source.empty())
        return usage_error("no source given");
    if (output.empty() && archive.empty())
        return usage_error("nothing to write: give -o SKIN or --zip ARCHIVE");
    return compile(source, output, archive, images);
}
