#pragma once

#include <string_view>

// The program's name (it names the window class and the single-copy lock), the title
// and version it shows, and where its skins and its fall-back language live.
constexpr std::u16string_view product_name = u"Melodrift";
constexpr std::u16string_view product_title = u"Quenbry Melodrift v1.15";
constexpr const char* product_version = "1.15";

// The key a skin must carry to suit this version.
constexpr std::u16string_view skin_version_key = u"Melodrift_1.00";
constexpr std::u16string_view alternative_skin_path = u"%app_path%/skins/alternative/alternative.skin";
constexpr std::u16string_view default_skin_path = u"%app_path%/skins/default/default.skin";
constexpr std::u16string_view dialogs_skin_path = u"%app_path%/skins/settings/dialogs.skin";
constexpr std::u16string_view english_language_path = u"%app_path%/English.lng";
