// The choice of mciExecute's error box.
#include "sound/MusicErrorBoxes.h"

#include "sound/MusicErrorText.h"
#include "sound/SoundPlatform.h"

namespace velozor {

void MusicErrorBoxes::shortPathAsked(std::string longPath, std::string shortPath) {
    longPath_ = std::move(longPath);
    shortPath_ = std::move(shortPath);
}

std::optional<std::string> MusicErrorBoxes::afterCommand(const char* command,
                                                         const std::optional<MciCommand>& parsed,
                                                         uint32_t error) {
    const bool isOpen = parsed && parsed->verb == MciCommand::Verb::Open;
    if (error == 0) {
        if (isOpen)
            failedOpen_.reset();
        return std::nullopt;
    }
    if (isOpen) {
        const bool notFound = parsed->target.empty();
        const std::string& file =
            notFound || parsed->target == shortPath_ ? longPath_ : parsed->target;
        failedOpen_ = FailedOpen{parsed->target, file};
        return musicOpenFailedText(language_, file,
                                   notFound ? uint32_t{MCIERR_FILE_NOT_FOUND} : error);
    }
    if (parsed && parsed->verb == MciCommand::Verb::Play && failedOpen_ &&
        parsed->target == failedOpen_->target) {
        return musicPlayAfterFailedOpenText(language_, failedOpen_->file);
    }
    return soundCommandFailedText(language_, command != nullptr ? command : "", error);
}

}  // namespace velozor
