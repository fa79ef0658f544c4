// The sound folder's start-up check.
#include "sound/SoundFolderCheck.h"

#include <algorithm>
#include <iostream>

#include "sound/SoundFileHeader.h"

namespace velozor {

namespace {

// How many files the message names; the rest are counted. A screen reader reads the box
// aloud, and a list of dozens helps nobody.
constexpr size_t kNamedInMessage = 5;

std::string files(size_t count) {
    return std::to_string(count) + (count == 1 ? " archivo" : " archivos");
}

}  // namespace

SoundFileHeader readSoundFileHeader(const SoundFileOnDisk& found) {
    return found.file ? readSoundFileHeader(found.file.get()) : unopenedSoundFile(found.openError);
}

std::vector<SoundFileProblem> findSoundFileProblems(const std::vector<std::string>& gamePaths,
                                                    const SoundFileFinder& find) {
    std::vector<SoundFileProblem> problems;
    for (const std::string& gamePath : gamePaths) {
        SoundFileOnDisk file = find(gamePath);
        if (file.kind == SoundFileOnDisk::Kind::Missing) {
            problems.push_back({SoundFileProblem::Kind::Missing, std::move(file.path), "missing"});
        } else if (file.kind == SoundFileOnDisk::Kind::NotARegularFile) {
            problems.push_back(
                {SoundFileProblem::Kind::Damaged, std::move(file.path), "not a regular file"});
        } else if (SoundFileHeader header = readSoundFileHeader(file); !header.playable()) {
            problems.push_back(
                {SoundFileProblem::Kind::Damaged, std::move(file.path), std::move(header.problem)});
        }
    }
    return problems;
}

std::string soundFolderMessage(const std::string& soundFolder, size_t fileCount,
                               const std::vector<SoundFileProblem>& problems) {
    const auto missing = static_cast<size_t>(
        std::count_if(problems.begin(), problems.end(), [](const SoundFileProblem& problem) {
            return problem.kind == SoundFileProblem::Kind::Missing;
        }));
    const size_t damaged = problems.size() - missing;
    std::string message = "La carpeta de sonidos " + soundFolder + " está incompleta: de sus " +
                          files(fileCount) + ", ";
    if (missing > 0)
        message += (missing == 1 ? "falta " : "faltan ") + std::to_string(missing);
    if (missing > 0 && damaged > 0)
        message += " y ";
    if (damaged > 0) {
        message += std::to_string(damaged) + (damaged == 1 ? " está dañado o no se puede leer"
                                                           : " están dañados o no se pueden leer");
    }
    message += ". ";
    message += problems.size() == 1 ? "Es " : "Son ";
    const size_t named = std::min(problems.size(), kNamedInMessage);
    for (size_t at = 0; at < named; ++at) {
        std::string name = problems[at].path;
        if (name.size() > soundFolder.size() &&
            name.compare(0, soundFolder.size(), soundFolder) == 0 &&
            (name[soundFolder.size()] == '/' || name[soundFolder.size()] == '\\'))
            name.erase(0, soundFolder.size() + 1);
        const bool lastOfAll = at + 1 == problems.size();
        message += at == 0 ? "" : lastOfAll ? " y " : ", ";
        message += "«" + name + "»";
    }
    if (problems.size() > named)
        message += " y " + std::to_string(problems.size() - named) + " más";
    message +=
        ". El juego sigue, pero donde falte un sonido oirás un pitido o nada, y un obstáculo "
        "que no suena no se puede esquivar. Para arreglarlo, vuelve a crear la carpeta de "
        "sonidos con velozor-soundpack, o copia en ella los archivos buenos.";
    return message;
}

size_t checkSoundFolder(const std::string& soundFolder, const std::vector<std::string>& gamePaths,
                        const SoundFileFinder& find,
                        const std::function<void(const std::string& message)>& show) {
    return reportSoundFileProblems(soundFolder, gamePaths.size(),
                                   findSoundFileProblems(gamePaths, find), show);
}

size_t reportSoundFileProblems(const std::string& soundFolder, size_t fileCount,
                               const std::vector<SoundFileProblem>& problems,
                               const std::function<void(const std::string& message)>& show) {
    if (problems.empty())
        return 0;
    for (const SoundFileProblem& problem : problems)
        std::cerr << "velozor: sound file " << problem.path << ": " << problem.reason << "\n";
    show(soundFolderMessage(soundFolder, fileCount, problems));
    return problems.size();
}

}  // namespace velozor
