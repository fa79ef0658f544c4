// The mixer back end's channel pool.
#include "sound/mixer/ChannelPool.h"

#include <SDL_mixer.h>

namespace velozor {

namespace {

constexpr int kInitialChannels = 9;

}  // namespace

ChannelPool::ChannelPool() {
    Mix_AllocateChannels(kInitialChannels);
    Mix_ReserveChannels(1);  // the one-shot's channel is never handed out by SDL_mixer itself
    for (int channel = kInitialChannels - 1; channel > kOneShotChannel; --channel) {
        free_.push_back(channel);
    }
}

int ChannelPool::take() {
    if (free_.empty()) {
        const int count = Mix_AllocateChannels(-1);
        Mix_AllocateChannels(count * 2);
        for (int channel = count * 2 - 1; channel >= count; --channel) {
            free_.push_back(channel);
        }
    }
    const int channel = free_.back();
    free_.pop_back();
    return channel;
}

}  // namespace velozor
