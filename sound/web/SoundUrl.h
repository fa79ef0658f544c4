// Where a game path's sound lives in the page's sound folder: the file's name there (the
// folder may store its wave files in another format the browser decodes) and its URL,
// percent-encoded, since names hold blanks and accents ("intro/arch 1", "obstáculos/...").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velozor {

// The page's sound folder: its URL relative to the page, without a trailing '/', and the
// extension its wave files are stored with (".wav" as the game names them, or, say, ".flac").
struct WebSoundFolder {
    std::string url = "sonidos";
    std::string waveExtension = ".wav";
};

// The name, relative to the sound folder with '/' between its parts, of the file the game asks
// for by `gamePath` ("<programFolder>\sonidos\intro\arch 1.wav" gives "intro/arch 1.flac" when
// wave files are stored as FLAC). A name ending in ".wav" (any letter case) takes the folder's
// wave extension; any other keeps its own ("fondo.mp3"). nullopt for a path outside the
// program's sound folder, or one that climbs out of it ("..").
std::optional<std::string> soundFileName(std::string_view gamePath, std::string_view programFolder,
                                         std::string_view waveExtension);

// `folderUrl` + "/" + `fileName` with every byte of the name outside RFC 3986's unreserved
// characters and '/' written as %XX (UTF-8 bytes as they are, so "á" is "%C3%A1").
std::string soundFileUrl(std::string_view folderUrl, std::string_view fileName);

}  // namespace velozor
