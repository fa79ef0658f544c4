// The music's error texts.
#include "sound/MusicErrorText.h"

#include "sound/SoundPlatform.h"

namespace velozor {

namespace {

std::string quoted(std::string_view file) {
    return "«" + std::string(file) + "»";
}

constexpr std::string_view kWhatToDo =
    " Pon en su lugar un archivo MP3 que se pueda reproducir, o vuelve a crear la carpeta de "
    "sonidos con velozor-soundpack. Mientras tanto, el juego sigue sin música.";

}  // namespace

std::string musicOpenFailedText(std::string_view file, uint32_t error) {
    std::string text;
    if (error == MCIERR_FILE_NOT_FOUND) {
        text = file.empty() ? "No se encuentra el archivo de música."
                            : "No se encuentra el archivo de música " + quoted(file) + ".";
    } else {
        text = "No se puede reproducir el archivo de música " + quoted(file) +
               ": no contiene sonido que el juego sepa leer.";
    }
    return text + std::string(kWhatToDo);
}

std::string musicPlayAfterFailedOpenText(std::string_view file) {
    const std::string which = file.empty() ? "el archivo de música" : quoted(file);
    return "La música no puede sonar porque no se pudo abrir " + which +
           ", como decía el aviso anterior." + std::string(kWhatToDo);
}

std::string soundCommandFailedText(std::string_view command, uint32_t error) {
    return "Falló la orden de sonido " + quoted(command) + " (error " + std::to_string(error) +
           ").";
}

}  // namespace velozor
