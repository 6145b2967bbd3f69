#include "platform/face_finder.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "liba/text.h"

namespace platform {
namespace {

std::mutex& fontconfig_lock()
{
    static std::mutex lock;
    return lock;
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

} // namespace

std::optional<FaceFile> find_face(std::u16string_view family, int weight, bool italic)
{
    const std::string name = family.empty() ? std::string("sans-serif") : liba::to_narrow(family);
    const std::lock_guard hold(fontconfig_lock());
    if (!FcInit())
        return std::nullopt;

    Pattern request(FcPatternCreate());
    if (!request)
        return std::nullopt;
    FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(request.get(), FC_WEIGHT, FcWeightFromOpenType(std::clamp(weight, 1, 1000)));
    FcPatternAddInteger(request.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(request.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, request.get(), FcMatchPattern);
    FcDefaultSubstitute(request.get());

    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, request.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch)
        return std::nullopt;

    FaceFile face;
    face.path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &face.index);
    FcChar8* found_family = nullptr;
    if (FcPatternGetString(match.get(), FC_FAMILY, 0, &found_family) == FcResultMatch)
        face.family = liba::to_wide(reinterpret_cast<const char*>(found_family));
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(match.get(), FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
        face.embolden = embolden;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match.get(), FC_SLANT, 0, &slant);
    face.oblique = italic && slant == FC_SLANT_ROMAN;
    return face;
}

} // namespace platform
