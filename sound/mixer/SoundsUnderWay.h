// What the mixer plays and how far it has got, for a device opened again to take it all up.
//
// Closing SDL_mixer (after a loss, or for a larger buffer) halts every channel and the music.
// Every play goes through here, so the sounds can be started again: a channel's wave from the
// frame it had reached, the music from the position its decoder reports. While no device plays
// them, the hold keeps the sounds where they are.
#pragma once

#include <SDL_mixer.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/mixer/SampleCache.h"

namespace velozor {

class SoundsUnderWay {
public:
    // Channels whose progress is counted. A sound on a channel above them is taken up from its
    // start; the game uses nine (ChannelPool.h).
    static constexpr int kCountedChannels = 32;

    // `bytesPerFrame` of the mixer's format.
    explicit SoundsUnderWay(size_t bytesPerFrame) : bytesPerFrame_(bytesPerFrame) {}

    SoundsUnderWay(const SoundsUnderWay&) = delete;
    SoundsUnderWay& operator=(const SoundsUnderWay&) = delete;

    // All but afterBuffer() with the mixer locked.

    // Plays `chunk` once on `channel` from its start, cutting off what the channel played, and
    // keeps the chunk alive while the channel may play it. Held at once while held(). Returns
    // Mix_PlayChannel's result (-1 on failure, Mix_GetError() says why).
    int playChannel(int channel, SharedChunk chunk);
    // Stops `channel` and lets go of its sound.
    void haltChannel(int channel);
    // Plays `music` once from its start; held at once while held(). Returns Mix_PlayMusic's
    // result (0 on success).
    int playMusic(Mix_Music* music);
    // Call before `music` is freed: it is never taken up again.
    void forgetMusic(const Mix_Music* music);

    // Pauses every sound where it is, and each one started meanwhile as it starts, until
    // release(): while no device plays, so that nothing is played into nothing and a
    // synchronous sound keeps the game waiting until it can be heard.
    void hold();
    void release();
    bool held() const { return held_; }

    // Before the mixer closes: notes where each sound under way has got.
    void noteWhereEachIs();
    // Once the mixer is open again, with as many channels as before: starts each sound noted
    // where it was (the music from its start when its decoder cannot tell or seek), held if
    // held(). What cannot be started again (no memory) stays silent.
    void takeUp();

    // Audio thread, inside the mixer's callback after each mix of `frames` frames: counts them
    // for each channel that was mixed.
    void afterBuffer(int frames);

private:
    struct ChannelSound {
        SharedChunk chunk;        // the whole wave the game asked for
        uint32_t startFrame = 0;  // the frame of `chunk` the channel started from
        SharedChunk sounding;     // what the channel plays: `chunk`, or its rest from startFrame
        bool noted = false;       // to be taken up
    };

    const size_t bytesPerFrame_;
    std::vector<ChannelSound> channels_;  // by channel number
    // Frames each channel has played since it last started; the audio thread counts them.
    std::array<std::atomic<uint32_t>, kCountedChannels> framesPlayed_{};
    Mix_Music* music_ = nullptr;  // the music last played, until freed
    double musicSeconds_ = -1;    // where it was when noted; below 0 when not under way
    bool held_ = false;
};

}  // namespace velozor
