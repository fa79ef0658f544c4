// The factory of the real sound back end.
#include "sound/mixer/OpenMixer.h"

#include "sound/mixer/MixerPlatform.h"

namespace velozor {

std::unique_ptr<SoundPlatform> openMixerPlatform(std::string& error) {
    return MixerPlatform::open(MixerOptions{}, error);
}

}  // namespace velozor
