// The check of SDL's video driver against drivers without a screen.
#include "ui/sdl/VideoDriverCheck.h"

#include <string_view>

namespace velozor {

namespace {

// SDL's drivers that show nothing and receive no input.
bool drawsNowhere(std::string_view driver) {
    return driver == "offscreen" || driver == "dummy";
}

bool listNames(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const size_t comma = list.find(',');
        if (list.substr(0, comma) == name)
            return true;
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
    }
    return false;
}

}  // namespace

bool videoDriverReachesPlayer(const char* current, const char* requested, Language language,
                              std::string& refusal) {
    const std::string_view driver = current != nullptr ? current : "";
    if (driver.empty()) {
        refusal = inLanguage(language, "no hay ningún controlador de vídeo en marcha",
                             "no video driver is running");
        return false;
    }
    if (!drawsNowhere(driver) || (requested != nullptr && listNames(requested, driver)))
        return true;
    refusal = inLanguage(language,
                         "no hay pantalla en la que mostrar la ventana (SDL recurrió a su "
                         "controlador «{}», que no muestra nada ni recibe teclas)",
                         "no display to show the window on (SDL fell back to its \"{}\" driver, "
                         "which shows nothing and receives no keys)",
                         {driver});
    return false;
}

}  // namespace velozor
