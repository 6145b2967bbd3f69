#include "skinner/skin/properties.h"

#include "liba/log.h"
#include "os/language_file.h"
#include "platform/window.h"

#include <atomic>
#include <chrono>

namespace skinner {

namespace {

std::atomic<Properties::FormReloader> form_reloader{nullptr};

struct CursorName {
    std::u16string_view name;
    int cursor;
};

const CursorName cursor_names[] = {
    {u"ARROW", platform::cursors::arrow},       {u"HAND", platform::cursors::hand},
    {u"IBEAM", platform::cursors::ibeam},       {u"SIZENESW", platform::cursors::size_nesw},
    {u"SIZENS", platform::cursors::size_ns},    {u"SIZENWSE", platform::cursors::size_nwse},
    {u"SIZEWE", platform::cursors::size_we},    {u"WAIT", platform::cursors::wait},
    {u"SIZEALL", platform::cursors::size_all},  {u"NO", platform::cursors::no},
    {u"HELP", platform::cursors::help},         {u"APPSTARTING", platform::cursors::app_starting},
};

} // namespace

void Properties::set_form_reloader(FormReloader reloader) { form_reloader = reloader; }

Properties::Properties()
    : impl_(std::make_unique<PropertiesImpl>()), translator_(std::make_unique<liba::StringTranslator>())
{
}

Properties::Properties(std::u16string skin_path, platform::Size screen)
    : impl_(std::make_unique<PropertiesImpl>(std::move(skin_path), screen)),
      translator_(std::make_unique<liba::StringTranslator>())
{
}

Properties::~Properties()
{
    translator_.reset();
    impl_.reset();
}

bool Properties::check_version(std::u16string_view key, platform::Size screen) const
{
    return impl_->reader().check_version(key, screen);
}

void Properties::load_skin(std::u16string skin_path, platform::Size screen)
{
    auto replacement = std::make_unique<PropertiesImpl>(std::move(skin_path), screen);
    impl_ = std::move(replacement);
    refresh_skin();
}

void Properties::load_skin_and_language(std::u16string skin_path, std::u16string_view language_path,
                                        platform::Size screen)
{
    auto replacement = std::make_unique<liba::StringTranslator>();
    os::load_language_file(*replacement, language_path);
    translator_ = std::move(replacement);
    load_skin(std::move(skin_path), screen);
}

bool Properties::load_language(std::u16string_view language_path)
{
    auto replacement = std::make_unique<liba::StringTranslator>();
    // A file with no text at all (empty, or not a language file) would show every key.
    if (!os::load_language_file(*replacement, language_path) || replacement->entries().empty())
        return false;
    translator_ = std::move(replacement);
    refresh_skin();
    return true;
}

Colour Properties::colour(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                          Colour default_value)
{
    SkinReader& reader = impl_->reader();
    return reader.color(reader.find_node(form, control), name).value_or(default_value);
}

std::u16string Properties::string(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                                  std::u16string_view default_value)
{
    SkinReader& reader = impl_->reader();
    const std::optional<std::u16string> text = reader.string(reader.find_node(form, control), name);
    return text ? translator_->translate(*text, *text) : std::u16string(default_value);
}

int32_t Properties::size_integer(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                                 int32_t default_value)
{
    SkinReader& reader = impl_->reader();
    const std::optional<int32_t> value = reader.integer(reader.find_node(form, control), name);
    return value ? *value * reader.scale() : default_value;
}

int32_t Properties::integer(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                            int32_t default_value)
{
    SkinReader& reader = impl_->reader();
    return reader.integer(reader.find_node(form, control), name).value_or(default_value);
}

Point Properties::point(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                        Point default_value)
{
    SkinReader& reader = impl_->reader();
    return reader.point(reader.find_node(form, control), name).value_or(default_value);
}

int Properties::cursor(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                       int default_value)
{
    SkinReader& reader = impl_->reader();
    const std::optional<std::u16string> text = reader.string(reader.find_node(form, control), name);
    if (text) {
        for (const CursorName& entry : cursor_names) {
            if (entry.name == *text)
                return entry.cursor;
        }
    }
    return default_value;
}

Picture Properties::make_picture(const SkinPicture& record) const
{
    Picture picture = impl_->picture(record.picture);
    picture.set_points(record.points[0], record.points[1], record.points[2], record.points[3], record.stretch);
    return picture;
}

Picture Properties::picture(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                            const Picture& default_value)
{
    SkinReader& reader = impl_->reader();
    const std::optional<SkinPicture> record = reader.picture(reader.find_node(form, control), name);
    return record ? make_picture(*record) : default_value;
}

Font Properties::font(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                      const Font& default_value)
{
    SkinReader& reader = impl_->reader();
    const std::optional<uint32_t> index = reader.font(reader.find_node(form, control), name);
    return index ? impl_->font(*index) : default_value;
}

int32_t Properties::form_integer(std::u16string_view form, std::u16string_view name, int32_t default_value)
{
    SkinReader& reader = impl_->reader();
    return reader.integer(reader.form_node(form), name).value_or(default_value);
}

Point Properties::form_point(std::u16string_view form, std::u16string_view name, Point default_value)
{
    SkinReader& reader = impl_->reader();
    return reader.point(reader.form_node(form), name).value_or(default_value);
}

Picture Properties::form_picture(std::u16string_view form, std::u16string_view name, const Picture& default_value)
{
    SkinReader& reader = impl_->reader();
    const std::optional<SkinPicture> record = reader.picture(reader.form_node(form), name);
    return record ? make_picture(*record) : default_value;
}

void Properties::refresh_skin()
{
    const auto start = std::chrono::steady_clock::now();
    SkinReader& reader = impl_->reader();
    liba::log() << u"Properties::refresh_skin() " << reader.path() << u"\n";
    reader.reset_counters();
    if (const FormReloader reloader = form_reloader.load())
        reloader(*this);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    liba::log() << u"elapsed=" << elapsed << u"\n";
    liba::log() << u"CompareCounter=" << reader.compare_counter() << u"\n";
    liba::log() << u"PropertyCounter=" << reader.property_counter() << u"\n";
    liba::log() << u"FoundPropertyCounter=" << reader.found_property_counter() << u"\n";
}

} // namespace skinner
