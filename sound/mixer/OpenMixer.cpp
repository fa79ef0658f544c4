// The factory of the real sound back end.
#include "sound/mixer/OpenMixer.h"

namespace velozor {

std::unique_ptr<MixerPlatform> openMixerPlatform(std::string& error) {
    return MixerPlatform::open(MixerOptions{}, error);
}

}  // namespace velozor
