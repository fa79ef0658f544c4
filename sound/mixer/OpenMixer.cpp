// The factory of the real sound back end.
#include "sound/mixer/OpenMixer.h"

#include <utility>

namespace velozor {

std::unique_ptr<MixerPlatform> openMixerPlatform(
    std::string& error, Language language,
    std::function<void(const std::string& message)> showError) {
    MixerOptions options;
    options.showError = std::move(showError);
    options.language = language;
    return MixerPlatform::open(std::move(options), error);
}

}  // namespace velozor
