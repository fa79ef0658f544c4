// The sound folder's check from what the page fetched.
#include "sound/web/WebSoundFolderCheck.h"

#include "sound/SoundCatalogue.h"

namespace velozor {

namespace {

// Each catalogued file's name in the folder (nullopt would be a catalogue entry outside it).
template <typename Visit>
void forEachCataloguedFile(const std::string& programFolder, const WebSoundFolder& folder,
                           Visit visit) {
    for (const std::string& gamePath : cataloguedGamePaths(programFolder)) {
        if (const auto name = soundFileName(gamePath, programFolder, folder.waveExtension))
            visit(*name, soundFileUrl(folder.url, *name));
    }
}

}  // namespace

std::vector<std::string> catalogueUrls(const std::string& programFolder,
                                       const WebSoundFolder& folder) {
    std::vector<std::string> urls;
    forEachCataloguedFile(programFolder, folder,
                          [&](const std::string&, std::string url) { urls.push_back(url); });
    return urls;
}

std::vector<SoundFileProblem> webSoundFileProblems(BrowserAudio& audio,
                                                   const std::string& programFolder,
                                                   const WebSoundFolder& folder,
                                                   Language language) {
    std::vector<SoundFileProblem> problems;
    forEachCataloguedFile(
        programFolder, folder, [&](const std::string& name, const std::string& url) {
            const std::string path = folder.url + "/" + name;
            switch (audio.fileState(url)) {
                case SoundFileState::Missing:
                    problems.push_back(
                        {SoundFileProblem::Kind::Missing, path,
                         inLanguage(language, "no está en el servidor", "not on the server")});
                    break;
                case SoundFileState::Damaged:
                    problems.push_back({SoundFileProblem::Kind::Damaged, path,
                                        inLanguage(language, "el navegador no lo descodifica",
                                                   "the browser cannot decode it")});
                    break;
                case SoundFileState::Loading:
                case SoundFileState::Ready:
                    break;
            }
        });
    return problems;
}

}  // namespace velozor
