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

std::string MusicErrorBoxes::textFor(const char* command, const std::optional<MciCommand>& parsed,
                                     uint32_t error, const std::string& file) {
    if (parsed && parsed->verb == MciCommand::Verb::Open) {
        failedOpen_ = FailedOpen{parsed->target, file};
        return musicOpenFailedText(file, error);
    }
    if (parsed && parsed->verb == MciCommand::Verb::Play && failedOpen_ &&
        parsed->target == failedOpen_->target) {
        return musicPlayAfterFailedOpenText(failedOpen_->file);
    }
    return soundCommandFailedText(command != nullptr ? command : "", error);
}

std::optional<std::string> MusicErrorBoxes::boxAfter(
    const char* command, uint32_t error,
    const std::function<std::string(const MciCommand& open)>& fileOfOpen) {
    const std::optional<MciCommand> parsed =
        command != nullptr ? parseMciCommand(command) : std::nullopt;
    if (error == 0) {
        succeeded(parsed);
        return std::nullopt;
    }
    const bool open = parsed && parsed->verb == MciCommand::Verb::Open;
    return textFor(command, parsed, error, open ? fileOfOpen(*parsed) : std::string());
}

}  // namespace velozor
