#include "app/settings.h"

#include "os/path.h"
#include "os/xml_document.h"

const std::u16string_view settings_file = u"%config%/Settings.xml";

namespace {

// Longer than any path the file system takes, in code units.
constexpr size_t longest_value = 4096;

void read_attribute(const os::XmlNode& node, std::u16string_view name, std::u16string& value)
{
    std::u16string read;
    if (os::get_attribute(node, name, read) && read.size() <= longest_value)
        value = std::move(read);
}

} // namespace

Settings read_settings(std::u16string_view path)
{
    Settings settings;
    const os::XmlNode root = os::find_child(os::load_document(path), u"Settings");
    read_attribute(os::find_child(root, u"General"), u"Language", settings.language);
    const os::XmlNode file_list = os::find_child(root, u"Filelist");
    read_attribute(file_list, u"CurrentFolder", settings.current_folder);
    read_attribute(file_list, u"SelectedPath", settings.selected_path);
    return settings;
}

bool write_settings(const Settings& settings, std::u16string_view path)
{
    const os::XmlNode document = os::new_document();
    const os::XmlNode root = os::add_child(document, u"Settings");
    os::set_attribute(os::add_child(root, u"General"), u"Language", settings.language);
    const os::XmlNode file_list = os::add_child(root, u"Filelist");
    os::set_attribute(file_list, u"CurrentFolder", settings.current_folder);
    os::set_attribute(file_list, u"SelectedPath", settings.selected_path);
    os::make_directories(os::directory_part(path));
    return os::save_document(document, path);
}
