// Keeps the wave files the mixer has decoded, up to a budget, so that reopening a channel on
// the same file costs a stat and a lookup instead of a read and a decode.
#pragma once

#include <SDL_mixer.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "sound/mixer/PathResolver.h"

namespace velozor {

// Decoded samples, shared between the cache and the channels that play them. The chunk is
// freed when its last holder lets go, so a channel that still plays it keeps it alive even
// after the cache has dropped or replaced it.
using SharedChunk = std::shared_ptr<Mix_Chunk>;

class SampleCache {
public:
    // `budgetBytes` bounds the decoded samples the cache holds on to; past it, the least
    // recently used entries are dropped (chunks still held by a channel live on until then).
    explicit SampleCache(size_t budgetBytes = size_t{256} << 20);

    // The decoded samples of `file`, in the mixer's format (the audio device must be open).
    // Reused when a file of the same path, size and modification time was decoded before.
    // On failure returns nullptr and sets `error` to MCIERR_FILE_NOT_FOUND (not a regular
    // file) or MCIERR_CANNOT_LOAD_DRIVER (not decodable), and `detail` to the reason.
    SharedChunk load(const ResolvedFile& file, uint32_t& error, std::string& detail);

    size_t entries() const { return entries_.size(); }
    void clear();

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
