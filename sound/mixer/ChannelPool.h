// The mixer channels: one kept back for the one-shot sound, the others handed out one to each
// open wave device, so a device's sound never cuts off another's.
#pragma once

#include <vector>

namespace velozor {

// The one-shot sound's mixer channel; SDL2_mixer never hands it out on its own either.
inline constexpr int kOneShotChannel = 0;

class ChannelPool {
public:
    // Allocates the mixer's first channels: the one-shot's and eight for devices (the game
    // opens seven at most). The audio device must be open.
    ChannelPool();

    ChannelPool(const ChannelPool&) = delete;
    ChannelPool& operator=(const ChannelPool&) = delete;

    // A channel no device owns, from 1 upwards; when none is left the mixer's channels are
    // doubled, so taking never fails.
    int take();
    // Returns a channel from take(); its sound must have been halted.
    void giveBack(int channel) { free_.push_back(channel); }

private:
    std::vector<int> free_;  // taken from the back
};

}  // namespace velozor
