// The fontconfig query behind findSansFont.
#include "ui/sdl/SansFont.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace velozor {

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

}  // namespace

SansFontLookup findSansFont(Language language) {
    SansFontLookup lookup;
    std::string& error = lookup.error;
    // The library's default configuration, loaded once per process and kept by fontconfig.
    if (!FcInit()) {
        error =
            inLanguage(language,
                       "no se puede cargar la configuración de fontconfig (revisa "
                       "/etc/fonts/fonts.conf)",
                       "cannot load the fontconfig configuration (check /etc/fonts/fonts.conf)");
        return lookup;
    }
    Pattern wanted(FcNameParse(reinterpret_cast<const FcChar8*>("sans")));
    if (!wanted) {
        error = inLanguage(language, "fontconfig no entiende el nombre de fuente «sans»",
                           "fontconfig cannot parse the font name \"sans\"");
        return lookup;
    }
    FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern);
    FcDefaultSubstitute(wanted.get());
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, wanted.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch ||
        file == nullptr) {
        error = inLanguage(
            language, "fontconfig no encuentra ninguna fuente sans (instala fonts-dejavu-core)",
            "fontconfig finds no sans font (install fonts-dejavu-core)");
        return lookup;
    }
    FontFile font{reinterpret_cast<const char*>(file), 0};
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) {
        font.faceIndex = index;
    }
    lookup.file = font;
    return lookup;
}

}  // namespace velozor
