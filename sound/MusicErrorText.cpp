// The music's error texts, in Spanish and English.
#include "sound/MusicErrorText.h"

#include "sound/SoundPlatform.h"

namespace velozor {

namespace {

std::string quoted(Language language, std::string_view file) {
    return inLanguage(language, "«{}»", "“{}”", {file});
}

std::string whatToDo(Language language) {
    return inLanguage(language,
                      " Pon en su lugar un archivo MP3 que se pueda reproducir, o vuelve a crear "
                      "la carpeta de sonidos con velozor-soundpack. Mientras tanto, el juego "
                      "sigue sin música.",
                      " Put a playable MP3 file in its place, or make the sound folder again with "
                      "velozor-soundpack. Meanwhile the game goes on without music.");
}

}  // namespace

std::string musicOpenFailedText(Language language, std::string_view file, uint32_t error) {
    std::string text;
    if (error == MCIERR_FILE_NOT_FOUND && file.empty()) {
        text = inLanguage(language, "No se encuentra el archivo de música.",
                          "The music file cannot be found.");
    } else if (error == MCIERR_FILE_NOT_FOUND) {
        text = inLanguage(language, "No se encuentra el archivo de música {}.",
                          "The music file {} cannot be found.", {quoted(language, file)});
    } else {
        text = inLanguage(language,
                          "No se puede reproducir el archivo de música {}: no contiene sonido que "
                          "el juego sepa leer.",
                          "The music file {} cannot be played: it holds no sound the game can "
                          "read.",
                          {quoted(language, file)});
    }
    return text + whatToDo(language);
}

std::string musicPlayAfterFailedOpenText(Language language, std::string_view file) {
    const std::string which = file.empty()
                                  ? inLanguage(language, "el archivo de música", "the music file")
                                  : quoted(language, file);
    return inLanguage(language,
                      "La música no puede sonar porque no se pudo abrir {}, como decía el aviso "
                      "anterior.",
                      "The music cannot play because {} could not be opened, as the previous "
                      "message said.",
                      {which}) +
           whatToDo(language);
}

std::string soundCommandFailedText(Language language, std::string_view command, uint32_t error) {
    return inLanguage(language, "Falló la orden de sonido {} (error {}).",
                      "The sound command {} failed (error {}).",
                      {quoted(language, command), std::to_string(error)});
}

}  // namespace velozor
