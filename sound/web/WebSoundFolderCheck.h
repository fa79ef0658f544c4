// The web's check of the sound folder: once the page has fetched and decoded every file the
// game can ask for, which ones the server lacks and which the browser cannot decode.
#pragma once

#include <string>
#include <vector>

#include "sound/SoundFolderCheck.h"
#include "sound/web/BrowserAudio.h"
#include "sound/web/SoundUrl.h"

namespace velozor {

// The URLs of every catalogued file, in the catalogue's order (the introduction first), as the
// page should fetch them.
std::vector<std::string> catalogueUrls(const std::string& programFolder,
                                       const WebSoundFolder& folder);

// The catalogued files that `audio` found missing or damaged, each named by the folder's URL
// and its name there ("sonidos/frenando.flac"), as the player would look for it on the server.
// Files still loading are not judged. The reasons are in `language`.
std::vector<SoundFileProblem> webSoundFileProblems(BrowserAudio& audio,
                                                   const std::string& programFolder,
                                                   const WebSoundFolder& folder, Language language);

}  // namespace velozor
