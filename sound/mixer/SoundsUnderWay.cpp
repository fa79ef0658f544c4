// Keeping track of what the mixer plays, holding it, and starting it again where it was.
#include "sound/mixer/SoundsUnderWay.h"

#include <algorithm>
#include <utility>

namespace velozor {

namespace {

// `chunk` from byte `offset` on: the chunk itself from 0, nullptr from its end on (or when no
// memory is left). The rest points into the whole chunk's samples and holds on to them.
SharedChunk restOf(SharedChunk chunk, size_t offset) {
    if (offset == 0)
        return chunk;
    if (offset >= chunk->alen)
        return nullptr;
    Mix_Chunk* rest =
        Mix_QuickLoad_RAW(chunk->abuf + offset, static_cast<Uint32>(chunk->alen - offset));
    if (rest == nullptr)
        return nullptr;
    rest->volume = chunk->volume;
    // Mix_FreeChunk stops any channel still playing the rest before the whole is let go.
    return SharedChunk(rest, [whole = std::move(chunk)](Mix_Chunk* part) { Mix_FreeChunk(part); });
}

}  // namespace

int SoundsUnderWay::playChannel(int channel, SharedChunk chunk) {
    const int played = Mix_PlayChannel(channel, chunk.get(), 0);
    if (played < 0)
        return played;
    if (channel < kCountedChannels)
        framesPlayed_[channel] = 0;
    if (held_)
        Mix_Pause(channel);
    if (channels_.size() <= static_cast<size_t>(channel))
        channels_.resize(channel + 1);
    // Only now, with the channel on the new sound, is the one it played let go.
    channels_[channel] = {chunk, 0, chunk};
    return played;
}

void SoundsUnderWay::haltChannel(int channel) {
    Mix_HaltChannel(channel);  // returns once the audio thread no longer mixes it
    if (static_cast<size_t>(channel) < channels_.size())
        channels_[channel] = {};
}

int SoundsUnderWay::playMusic(Mix_Music* music) {
    const int result = Mix_PlayMusic(music, 0);  // 0: once, no repeat
    if (result == 0) {
        music_ = music;
        if (held_)
            Mix_PauseMusic();
    }
    return result;
}

void SoundsUnderWay::forgetMusic(const Mix_Music* music) {
    if (music_ == music)
        music_ = nullptr;
}

void SoundsUnderWay::hold() {
    held_ = true;
    Mix_Pause(-1);
    Mix_PauseMusic();
}

void SoundsUnderWay::release() {
    if (!held_)
        return;
    held_ = false;
    Mix_Resume(-1);
    Mix_ResumeMusic();
}

void SoundsUnderWay::noteWhereEachIs() {
    for (size_t channel = 0; channel < channels_.size(); ++channel) {
        ChannelSound& sound = channels_[channel];
        if (!sound.chunk || Mix_Playing(static_cast<int>(channel)) == 0) {
            sound = {};
            continue;
        }
        if (channel < kCountedChannels)
            sound.startFrame += framesPlayed_[channel].load();
        sound.noted = true;
    }
    musicSeconds_ = -1;
    if (music_ != nullptr && Mix_PlayingMusic() != 0)
        musicSeconds_ = std::max(0.0, Mix_GetMusicPosition(music_));  // -1: cannot tell
}

void SoundsUnderWay::takeUp() {
    for (size_t channel = 0; channel < channels_.size(); ++channel) {
        ChannelSound& sound = channels_[channel];
        if (!sound.noted)
            continue;
        SharedChunk rest = restOf(sound.chunk, sound.startFrame * bytesPerFrame_);
        if (!rest || Mix_PlayChannel(static_cast<int>(channel), rest.get(), 0) < 0) {
            sound = {};
            continue;
        }
        if (channel < kCountedChannels)
            framesPlayed_[channel] = 0;
        if (held_)
            Mix_Pause(static_cast<int>(channel));
        sound.sounding = std::move(rest);
        sound.noted = false;
    }
    if (musicSeconds_ >= 0 && music_ != nullptr) {
        // A decoder that cannot seek fails the first call, which leaves no music playing.
        if (Mix_FadeInMusicPos(music_, 0, 0, musicSeconds_) != 0 && Mix_PlayMusic(music_, 0) != 0)
            music_ = nullptr;
        else if (held_)
            Mix_PauseMusic();
    }
    musicSeconds_ = -1;
}

void SoundsUnderWay::afterBuffer(int frames) {
    // Inside the callback the mixer's state holds still: a channel playing and not paused now
    // was mixed for the whole buffer (one that ended within it needs no count).
    for (int channel = 0; channel < kCountedChannels; ++channel) {
        if (Mix_Playing(channel) != 0 && Mix_Paused(channel) == 0)
            framesPlayed_[channel].fetch_add(static_cast<uint32_t>(frames),
                                             std::memory_order_relaxed);
    }
}

}  // namespace velozor
