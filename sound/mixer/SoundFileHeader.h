// What a sound file holds, told by its first bytes rather than its name: which of the mixer's
// decoders can read it and whether it holds at least one frame of sound. Reads headers only,
// so checking the whole sound folder at start-up costs a few milliseconds.
#pragma once

#include <string>

namespace velozor {

enum class SoundFormat {
    Unknown,  // no decoder of the mixer reads it
    Wave,     // RIFF/WAVE
    Mp3,      // MPEG audio, with or without an ID3v2 tag in front
    Ogg,      // an Ogg stream of Vorbis or Opus
};

struct SoundFileHeader {
    SoundFormat format = SoundFormat::Unknown;
    // Empty when the file can be played; otherwise why not, in a few English words for
    // standard error ("holds no sound after its header").
    std::string problem;

    bool playable() const { return problem.empty(); }
};

// Reads the header of the file at `nativePath` (a path that opens as it is). A file that
// cannot be opened or read is not playable either; `problem` then says so. Never throws.
SoundFileHeader readSoundFileHeader(const std::string& nativePath);

}  // namespace velozor
