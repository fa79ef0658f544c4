// The command interface's devices on SDL2_mixer: a wave file on a mixer channel of its own,
// or the music stream. The interpreter in sound/ opens them through this.
#pragma once

#include "sound/MciInterpreter.h"
#include "sound/WarningLog.h"
#include "sound/mixer/ChannelPool.h"
#include "sound/mixer/SampleCache.h"
#include "sound/mixer/SoundsUnderWay.h"

namespace velozor {

class MixerDevices final : public MciDeviceOpener {
public:
    // All four must outlive every device opened here; the devices play through `sounds`.
    MixerDevices(SampleCache& cache, ChannelPool& channels, SoundsUnderWay& sounds,
                 WarningLog& warnings)
        : cache_(cache), channels_(channels), sounds_(sounds), warnings_(warnings) {}

    // Resolves `gamePath` on disk; a wave file is decoded (or taken from the cache) and given
    // a channel, a music file is opened as a stream, each by the decoder its content calls
    // for. A file that holds no sound or none the mixer decodes fails with
    // MCIERR_CANNOT_LOAD_DRIVER, and is reported on standard error once.
    std::unique_ptr<MciDevice> openDevice(MciDeviceType type, std::string_view gamePath,
                                          uint32_t& error, std::string& detail) override;

private:
    // Once per file, on standard error: `path` cannot be played, for `detail`.
    void warnCannotPlay(const std::string& path, const std::string& detail);

    SampleCache& cache_;
    ChannelPool& channels_;
    SoundsUnderWay& sounds_;
    WarningLog& warnings_;
};

}  // namespace velozor
