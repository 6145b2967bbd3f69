#pragma once

#include "liba/nocopy.h"
#include "liba/string_translator.h"
#include "skinner/draw/colour.h"
#include "skinner/draw/font.h"
#include "skinner/draw/geometry.h"
#include "skinner/draw/picture.h"
#include "skinner/skin/properties_impl.h"

#include <memory>
#include <string>
#include <string_view>

namespace skinner {

// The skin and the language together: what every form and control reads its looks
// and texts through. A node is addressed by (form name, control name), or by ("",
// kind name) for a kind. Getters answer the skin's value, or the caller's default when
// the node has no such record; a form, control or kind that does not exist ends the
// program (see SkinReader). Strings in the skin are language keys and come back
// translated. User-interface thread only.
class Properties : liba::Nocopy {
public:
    // Walks the live forms and reloads those that read through these properties.
    using FormReloader = void (*)(const Properties& properties);
    // The forms install theirs; until then a refresh reloads nothing.
    static void set_form_reloader(FormReloader reloader);

    // No skin and no language.
    Properties();
    Properties(std::u16string skin_path, platform::Size screen);
    ~Properties();

    bool is_valid() const { return impl_->reader().is_valid(); }
    bool check_version(std::u16string_view key, platform::Size screen) const;

    // Replaces the skin (also by an invalid one when the file cannot be used) and
    // refreshes the forms.
    void load_skin(std::u16string skin_path, platform::Size screen);
    void load_skin_and_language(std::u16string skin_path, std::u16string_view language_path,
                                platform::Size screen);
    // Replaces the language and refreshes the forms; false, with nothing changed, when
    // the file cannot be read or holds no text.
    bool load_language(std::u16string_view language_path);

    const std::u16string& skin_path() const { return impl_->reader().path(); }
    const std::u16string& language_path() const { return translator_->source_path(); }
    int scale() const { return impl_->reader().scale(); }

    std::u16string translate(std::u16string_view key) const { return translator_->translate(key); }
    std::u16string translate(std::u16string_view key, std::u16string_view default_text) const
    {
        return translator_->translate(key, default_text);
    }

    // Getters of a control or kind.
    Colour colour(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                  Colour default_value);
    // The translated text; the default comes back untranslated.
    std::u16string string(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                          std::u16string_view default_value);
    // An integer multiplied by the scale; the default is not scaled.
    int32_t size_integer(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                         int32_t default_value);
    int32_t integer(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                    int32_t default_value);
    Point point(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                Point default_value);
    // A standard cursor named by the text ("ARROW", "HAND", ...); 0 is the arrow.
    int cursor(std::u16string_view form, std::u16string_view control, std::u16string_view name,
               int default_value);
    Picture picture(std::u16string_view form, std::u16string_view control, std::u16string_view name,
                    const Picture& default_value);
    Font font(std::u16string_view form, std::u16string_view control, std::u16string_view name,
              const Font& default_value);

    // Getters of the chosen variant of a form itself.
    int32_t form_integer(std::u16string_view form, std::u16string_view name, int32_t default_value);
    Point form_point(std::u16string_view form, std::u16string_view name, Point default_value);
    Picture form_picture(std::u16string_view form, std::u16string_view name, const Picture& default_value);

    // Resets the lookup counters, reloads every form that uses these properties, and
    // logs the time it took and what the lookups cost.
    void refresh_skin();

    PropertiesImpl& impl() { return *impl_; }

private:
    Picture make_picture(const SkinPicture& record) const;

    std::unique_ptr<PropertiesImpl> impl_;
    std::unique_ptr<liba::StringTranslator> translator_;
};

} // namespace skinner
