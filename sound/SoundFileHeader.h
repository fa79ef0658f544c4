// What a sound file holds, told by its first bytes rather than its name: which of the mixer's
// decoders can read it and whether it holds at least one frame of sound. Reads headers only,
// so checking the whole sound folder at start-up costs a few milliseconds.
#pragma once

#include <cstdio>
#include <string>

#include "base/Language.h"

namespace velozor {

enum class SoundFormat {
    Unknown,  // no decoder of the mixer reads it
    Wave,     // RIFF/WAVE
    Mp3,      // MPEG audio, with or without an ID3v2 tag in front
    Ogg,      // an Ogg stream of Vorbis or Opus
};

struct SoundFileHeader {
    SoundFormat format = SoundFormat::Unknown;
    // Empty when the file can be played; otherwise why not, in a few words in the language
    // asked for, for standard error ("holds no sound after its header").
    std::string problem;

    bool playable() const { return problem.empty(); }
};

// Reads the header of `file`, open for reading in binary mode at its start; moves its position
// and leaves it open. A file that cannot be read is not playable; `problem` then says so, in
// `language`.
SoundFileHeader readSoundFileHeader(std::FILE* file, Language language);

// Reads the header of the file at `nativePath`, a path the C library's fopen opens as it is
// (on Windows, where that means the ANSI code page, open the file by its wide path and read
// it by the call above). A file that cannot be opened is not playable either. Never throws.
SoundFileHeader readSoundFileHeader(const std::string& nativePath, Language language);

// The header of a file that did not open: not playable, `problem` naming the C library's
// `error` (an errno value).
SoundFileHeader unopenedSoundFile(int error, Language language);

// The problem of a file whose header is whole but that holds no frame of sound, in `language`.
std::string noSoundAfterItsHeader(Language language);

}  // namespace velozor
