// The decoded-file cache of the mixer back end.
#include "sound/mixer/SampleCache.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "sound/SoundFileHeader.h"
#include "sound/SoundPlatform.h"
#include "sound/mixer/Id3TagBlanking.h"

namespace velozor {

namespace {

uint32_t littleEndian32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// A wave file whose data chunk claims more bytes than the file holds (a copy cut short, or a
// damaged header) would make SDL allocate the claimed length before reading: gigabytes for a
// few bytes of file. Its claim is cut to what the file holds, so the frames that are there
// play and nothing more is allocated. Other files are left as they are.
void clampWaveDataToFile(std::vector<unsigned char>& bytes) {
    // SDL reads a wave with its RIFF header and one that starts right at "WAVE" alike.
    size_t at = 0;
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
        std::memcmp(bytes.data() + 8, "WAVE", 4) == 0) {
        at = 12;
    } else if (bytes.size() >= 4 && std::memcmp(bytes.data(), "WAVE", 4) == 0) {
        at = 4;
    } else {
        return;
    }
    while (at + 8 <= bytes.size()) {
        const uint32_t size = littleEndian32(bytes.data() + at + 4);
        const size_t held = bytes.size() - (at + 8);
        if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (size > held) {
                const auto clamped = static_cast<uint32_t>(held);
                for (int byte = 0; byte < 4; ++byte)
                    bytes[at + 4 + byte] = static_cast<unsigned char>(clamped >> (8 * byte));
            }
            return;
        }
        if (size > held)
            return;
        at += 8 + size + (size & 1);  // chunks are padded to an even length
    }
}

// Decodes the file's bytes with the mixer's own loader, which picks the decoder by content.
// The stream is closed here whatever happens: SDL_mixer leaves it open when no decoder
// recognises the bytes.
Mix_Chunk* decodeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        SDL_SetError("cannot read %s", path.c_str());
        return nullptr;
    }
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
        SDL_SetError("%s is too large to be a sound of the game", path.c_str());
        return nullptr;
    }
    clampWaveDataToFile(bytes);
    blankId3v2Frames(bytes);
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr)
        return nullptr;
    Mix_Chunk* decoded = Mix_LoadWAV_RW(stream, 0);
    SDL_RWclose(stream);
    return decoded;
}

// Bytes in one frame of the open device's format (4 for 16-bit stereo).
Uint32 deviceFrameBytes() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0 || channels <= 0)
        return 1;
    return static_cast<Uint32>(SDL_AUDIO_BITSIZE(format) / 8 * channels);
}

}  // namespace

SampleCache::SampleCache(size_t budgetBytes) : budgetBytes_(budgetBytes) {}

SharedChunk SampleCache::load(const ResolvedFile& file, uint32_t& error, std::string& detail,
                              Language language) {
    if (!file.isRegularFile) {
        error = MCIERR_FILE_NOT_FOUND;
        detail = inLanguage(language, "{} no es un archivo normal", "{} is not a regular file",
                            {file.path});
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

    Mix_Chunk* decoded = decodeFile(file.path);
    if (decoded == nullptr) {
        error = MCIERR_CANNOT_LOAD_DRIVER;
        detail = Mix_GetError();
        return nullptr;
    }
    SharedChunk chunk(decoded, Mix_FreeChunk);
    // A header that disagrees with itself (a block size that is not its channels' frame) can
    // convert into a partial frame at the end, after which a loop of the same sound would start
    // mid-frame, left and right swapped: the mixer gets whole frames of its own format only.
    chunk->alen -= chunk->alen % deviceFrameBytes();
    if (chunk->alen == 0) {
        error = MCIERR_CANNOT_LOAD_DRIVER;
        detail = noSoundAfterItsHeader(language);
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

}  // namespace velozor
