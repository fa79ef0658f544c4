// Keeps the wave files the mixer has decoded, up to a budget, so that reopening a channel on
// the same file costs a stat and a lookup instead of a read and a decode.
#pragma once

#include <SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "base/Language.h"
#include "sound/mixer/PathResolver.h"

namespace velozor {

// Decoded samples, shared between the cache and the channels that play them. The chunk is
// freed when its last holder lets go, so a channel that still plays it keeps it alive even
// after the cache has dropped or replaced it.
using SharedChunk = std::shared_ptr<Mix_Chunk>;

// The decoded samples the game's cache holds on to, in bytes: 48 MiB. The default sound
// folder decodes to 35.4 MiB in the mixer's format (44.1 kHz stereo 16-bit; the help alone is
// 12.6 MiB), so a whole game keeps every file it has heard and never decodes one twice, with
// room for a folder whose speech runs a third longer. A bigger folder costs a decode now and
// then, never memory beyond this.
inline constexpr size_t kSampleCacheBudgetBytes = size_t{48} << 20;

class SampleCache {
public:
    // `budgetBytes` bounds the decoded samples the cache holds on to; past it, entries are
    // dropped, least recently used first, and those no channel still plays before those one
    // does (a dropped chunk that still plays lives on until its channel lets go, and dropping
    // it frees nothing meanwhile). The newest entry is always kept, whatever its size.
    explicit SampleCache(size_t budgetBytes = kSampleCacheBudgetBytes);

    // The decoded samples of `file`, in the mixer's format (the audio device must be open).
    // Reused when a file of the same path, size and modification time was decoded before.
    // On failure returns nullptr and sets `error` to MCIERR_FILE_NOT_FOUND (not a regular
    // file) or MCIERR_CANNOT_LOAD_DRIVER (not decodable, or no frame of sound in it: a wave
    // file cut to its header plays nothing and is no sound to play), and `detail` to the
    // reason, in `language` where the words are the cache's own. Failures are not cached: a
    // file mended on disk plays at its next load.
    SharedChunk load(const ResolvedFile& file, uint32_t& error, std::string& detail,
                     Language language = Language::Spanish);

    size_t entries() const { return entries_.size(); }
    // The bytes of decoded samples the cache holds, at most the budget (or the newest entry's).
    size_t heldBytes() const { return heldBytes_; }

private:
    struct Entry {
        int64_t size = 0;
        int64_t modifiedNanos = 0;
        SharedChunk chunk;
        uint64_t lastUse = 0;
    };

    void dropOldestBeyondBudget();

    size_t budgetBytes_;
    size_t heldBytes_ = 0;
    uint64_t useCounter_ = 0;
    std::unordered_map<std::string, Entry> entries_;  // by resolved path
};

}  // namespace velozor
