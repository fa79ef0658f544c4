// The mixer back end's wave and music devices.
#include "sound/mixer/MixerDevices.h"

#include <SDL_mixer.h>

#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "sound/SoundFileHeader.h"
#include "sound/SoundPlatform.h"
#include "sound/mixer/Id3TagBlanking.h"
#include "sound/mixer/PathResolver.h"

namespace velozor {

namespace {

class WaveDevice final : public MciDevice {
public:
    WaveDevice(SharedChunk chunk, ChannelPool& channels, SoundsUnderWay& sounds)
        : chunk_(std::move(chunk)),
          channels_(channels),
          sounds_(sounds),
          channel_(channels.take()) {}
    ~WaveDevice() override {
        // Halting waits for the audio thread, so the chunk is no longer mixed once it returns.
        sounds_.haltChannel(channel_);
        channels_.giveBack(channel_);
    }

    uint32_t play(std::string& detail) override {
        if (sounds_.playChannel(channel_, chunk_) < 0) {
            detail = Mix_GetError();
            return MCIERR_CANNOT_LOAD_DRIVER;
        }
        return 0;
    }

private:
    SharedChunk chunk_;
    ChannelPool& channels_;
    SoundsUnderWay& sounds_;
    int channel_;
};

// Closing needs no halt of its own: SDL_mixer halts the stream before freeing it if it is the
// one playing.
class MusicDevice final : public MciDevice {
public:
    // `bytes` are those the music is read from when it is not read from its file; they
    // outlive the music.
    MusicDevice(Mix_Music* music, std::vector<unsigned char> bytes, SoundsUnderWay& sounds)
        : bytes_(std::move(bytes)), music_(music, Mix_FreeMusic), sounds_(sounds) {}
    ~MusicDevice() override { sounds_.forgetMusic(music_.get()); }

    uint32_t play(std::string& detail) override {
        if (sounds_.playMusic(music_.get()) != 0) {
            detail = Mix_GetError();
            return MCIERR_CANNOT_LOAD_DRIVER;
        }
        return 0;
    }

private:
    std::vector<unsigned char> bytes_;
    std::unique_ptr<Mix_Music, void (*)(Mix_Music*)> music_;
    SoundsUnderWay& sounds_;
};

// Opens the stream with the decoder the file's content calls for, whatever its name says: a
// wave file saved as "fondo.mp3" plays as the wave it is. A file with no frame of sound, or
// none the mixer decodes, is not opened at all, so the open fails as for a missing file
// instead of playing silence. An MP3 with an ID3v2 tag is read from memory with its tag blanked
// (Id3TagBlanking.h), kept in `bytes`; any other file streams from disk. Returns nullptr with
// `detail` set on failure.
Mix_Music* loadMusic(const ResolvedFile& file, std::vector<unsigned char>& bytes,
                     std::string& detail, Language language) {
    if (!file.isRegularFile) {
        detail = inLanguage(language, "no es un archivo normal", "not a regular file");
        return nullptr;
    }
    const SoundFileHeader header = readSoundFileHeader(file.path, language);
    if (!header.playable()) {
        detail = header.problem;
        return nullptr;
    }
    Mix_MusicType type = MUS_NONE;  // Ogg: SDL_mixer tells Vorbis from Opus itself
    if (header.format == SoundFormat::Wave)
        type = MUS_WAV;
    else if (header.format == SoundFormat::Mp3)
        type = MUS_MP3;
    if (header.format == SoundFormat::Mp3) {
        std::ifstream in(file.path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!blankId3v2Frames(bytes) || bytes.size() > static_cast<size_t>(INT32_MAX))
            bytes.clear();
    }
    SDL_RWops* stream = bytes.empty()
                            ? SDL_RWFromFile(file.path.c_str(), "rb")
                            : SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (stream == nullptr) {
        detail = SDL_GetError();
        return nullptr;
    }
    Mix_Music* music = Mix_LoadMUSType_RW(stream, type, 1);  // 1: the stream closes with it
    if (music == nullptr)
        detail = Mix_GetError();
    return music;
}

}  // namespace

void MixerDevices::warnCannotPlay(const std::string& path, const std::string& detail) {
    warnings_.warnOnce(path, "no se puede reproducir {} ({})", "cannot play {} ({})",
                       {path, detail});
}

std::unique_ptr<MciDevice> MixerDevices::openDevice(MciDeviceType type, std::string_view gamePath,
                                                    uint32_t& error, std::string& detail) {
    const std::optional<ResolvedFile> file = resolveGamePath(gamePath);
    if (!file) {
        error = MCIERR_FILE_NOT_FOUND;
        return nullptr;
    }
    if (type == MciDeviceType::Music) {
        std::vector<unsigned char> bytes;
        Mix_Music* music = loadMusic(*file, bytes, detail, warnings_.language());
        if (music == nullptr) {
            warnCannotPlay(file->path, detail);
            error = MCIERR_CANNOT_LOAD_DRIVER;
            return nullptr;
        }
        return std::make_unique<MusicDevice>(music, std::move(bytes), sounds_);
    }
    SharedChunk chunk = cache_.load(*file, error, detail, warnings_.language());
    if (!chunk) {
        warnCannotPlay(file->path, detail);
        return nullptr;
    }
    return std::make_unique<WaveDevice>(std::move(chunk), channels_, sounds_);
}

}  // namespace velozor
