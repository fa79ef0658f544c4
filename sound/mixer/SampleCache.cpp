// The decoded-file cache of the mixer back end.
#include "sound/mixer/SampleCache.h"

#include <algorithm>
#include <utility>

#include "sound/SoundPlatform.h"

namespace velozor {

SampleCache::SampleCache(size_t budgetBytes) : budgetBytes_(budgetBytes) {}

SharedChunk SampleCache::load(const ResolvedFile& file, uint32_t& error, std::string& detail) {
    if (!file.isRegularFile) {
        error = MCIERR_FILE_NOT_FOUND;
        detail = file.path + " is not a regular file";
        return nullptr;
    }
    const auto found = entries_.find(file.path);
    if (found != entries_.end()) {
        Entry& entry = found->second;
        if (entry.size == file.size && entry.modifiedNanos == file.modifiedNanos) {
            entry.lastUse = ++useCounter_;
            return entry.chunk;
        }
        // The file changed on disk: decode it again; channels keep the old samples meanwhile.
        heldBytes_ -= entry.chunk->alen;
        entries_.erase(found);
    }

    Mix_Chunk* decoded = Mix_LoadWAV(file.path.c_str());
    if (decoded == nullptr) {
        error = MCIERR_CANNOT_LOAD_DRIVER;
        detail = Mix_GetError();
        return nullptr;
    }
    SharedChunk chunk(decoded, Mix_FreeChunk);
    if (chunk->alen == 0) {
        error = MCIERR_CANNOT_LOAD_DRIVER;
        detail = "holds no sound after its header";
        return nullptr;
    }
    entries_[file.path] = Entry{file.size, file.modifiedNanos, chunk, ++useCounter_};
    heldBytes_ += chunk->alen;
    dropOldestBeyondBudget();
    return chunk;
}

void SampleCache::dropOldestBeyondBudget() {
    while (heldBytes_ > budgetBytes_ && entries_.size() > 1) {
        // Ordered by (still playing, last use): a chunk only the cache holds goes first.
        const auto playing = [](const Entry& entry) { return entry.chunk.use_count() > 1; };
        const auto oldest =
            std::min_element(entries_.begin(), entries_.end(), [&](const auto& a, const auto& b) {
                return std::pair(playing(a.second), a.second.lastUse) <
                       std::pair(playing(b.second), b.second.lastUse);
            });
        heldBytes_ -= oldest->second.chunk->alen;
        entries_.erase(oldest);
    }
}

void SampleCache::clear() {
    entries_.clear();
    heldBytes_ = 0;
}

}  // namespace velozor
