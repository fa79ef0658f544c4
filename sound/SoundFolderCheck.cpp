// The sound folder's start-up check.
#include "sound/SoundFolderCheck.h"

#include <algorithm>

#include "base/ErrorLine.h"
#include "sound/SoundFileHeader.h"

namespace velozor {

namespace {

// How many files the message names; the rest are counted. A screen reader reads the box
// aloud, and a list of dozens helps nobody.
constexpr size_t kNamedInMessage = 5;

// The message's words in one language; each function gets the count it agrees with.
struct MessageWords {
    std::string (*opening)(const std::string& folder, size_t fileCount);
    std::string (*missing)(size_t count);
    std::string (*damaged)(size_t count);
    const char* both;  // between the missing and the damaged, and before the last name
    std::string (*naming)(size_t count);
    const char* openQuote;
    const char* closeQuote;
    const char* more;
    const char* remedy;
};

std::string count(size_t number, const char* one, const char* many) {
    return std::to_string(number) + (number == 1 ? one : many);
}

const MessageWords kSpanish = {
    [](const std::string& folder, size_t fileCount) {
        return "La carpeta de sonidos " + folder + " está incompleta: de sus " +
               count(fileCount, " archivo", " archivos") + ", ";
    },
    [](size_t missing) { return (missing == 1 ? "falta " : "faltan ") + std::to_string(missing); },
    [](size_t damaged) {
        return count(damaged, " está dañado o no se puede leer",
                     " están dañados o no se pueden leer");
    },
    " y ",
    [](size_t named) { return std::string(named == 1 ? "Es " : "Son "); },
    "«",
    "»",
    " más",
    ". El juego sigue, pero donde falte un sonido oirás un pitido o nada, y un obstáculo que no "
    "suena no se puede esquivar. Para arreglarlo, vuelve a crear la carpeta de sonidos con "
    "velozor-soundpack, o copia en ella los archivos buenos.",
};

const MessageWords kEnglish = {
    [](const std::string& folder, size_t fileCount) {
        return "The sound folder " + folder + " is incomplete: of its " +
               count(fileCount, " file", " files") + ", ";
    },
    [](size_t missing) { return count(missing, " is missing", " are missing"); },
    [](size_t damaged) {
        return count(damaged, " is damaged or cannot be read", " are damaged or cannot be read");
    },
    " and ",
    [](size_t named) { return std::string(named == 1 ? "It is " : "They are "); },
    "“",
    "”",
    " more",
    ". The game goes on, but where a sound is missing you will hear a beep or nothing, and an "
    "obstacle you cannot hear cannot be dodged. To mend it, make the sound folder again with "
    "velozor-soundpack, or copy the good files into it.",
};

}  // namespace

SoundFileHeader readSoundFileHeader(const SoundFileOnDisk& found, Language language) {
    return found.file ? readSoundFileHeader(found.file.get(), language)
                      : unopenedSoundFile(found.openError, language);
}

std::vector<SoundFileProblem> findSoundFileProblems(const std::vector<std::string>& gamePaths,
                                                    const SoundFileFinder& find,
                                                    Language language) {
    std::vector<SoundFileProblem> problems;
    for (const std::string& gamePath : gamePaths) {
        SoundFileOnDisk file = find(gamePath);
        if (file.kind == SoundFileOnDisk::Kind::Missing) {
            problems.push_back({SoundFileProblem::Kind::Missing, std::move(file.path),
                                inLanguage(language, "falta", "missing")});
        } else if (file.kind == SoundFileOnDisk::Kind::NotARegularFile) {
            problems.push_back(
                {SoundFileProblem::Kind::Damaged, std::move(file.path),
                 inLanguage(language, "no es un archivo normal", "not a regular file")});
        } else if (SoundFileHeader header = readSoundFileHeader(file, language);
                   !header.playable()) {
            problems.push_back(
                {SoundFileProblem::Kind::Damaged, std::move(file.path), std::move(header.problem)});
        }
    }
    return problems;
}

std::string soundFileProblemLine(std::string_view path, std::string_view reason,
                                 Language language) {
    return inLanguage(language, "archivo de sonido {}: {}", "sound file {}: {}", {path, reason});
}

std::string soundFolderMessage(const std::string& soundFolder, size_t fileCount,
                               const std::vector<SoundFileProblem>& problems, Language language) {
    const MessageWords& words = language == Language::Spanish ? kSpanish : kEnglish;
    const auto missing = static_cast<size_t>(
        std::count_if(problems.begin(), problems.end(), [](const SoundFileProblem& problem) {
            return problem.kind == SoundFileProblem::Kind::Missing;
        }));
    const size_t damaged = problems.size() - missing;
    std::string message = words.opening(soundFolder, fileCount);
    if (missing > 0)
        message += words.missing(missing);
    if (missing > 0 && damaged > 0)
        message += words.both;
    if (damaged > 0)
        message += words.damaged(damaged);
    message += ". " + words.naming(problems.size());
    const size_t named = std::min(problems.size(), kNamedInMessage);
    for (size_t at = 0; at < named; ++at) {
        std::string name = problems[at].path;
        if (name.size() > soundFolder.size() &&
            name.compare(0, soundFolder.size(), soundFolder) == 0 &&
            (name[soundFolder.size()] == '/' || name[soundFolder.size()] == '\\'))
            name.erase(0, soundFolder.size() + 1);
        const bool lastOfAll = at + 1 == problems.size();
        message += at == 0 ? "" : lastOfAll ? words.both : ", ";
        message += words.openQuote + name + words.closeQuote;
    }
    if (problems.size() > named)
        message += words.both + std::to_string(problems.size() - named) + words.more;
    return message + words.remedy;
}

size_t checkSoundFolder(const std::string& soundFolder, const std::vector<std::string>& gamePaths,
                        const SoundFileFinder& find,
                        const std::function<void(const std::string& message)>& show,
                        Language language) {
    return reportSoundFileProblems(soundFolder, gamePaths.size(),
                                   findSoundFileProblems(gamePaths, find, language), show,
                                   language);
}

size_t reportSoundFileProblems(const std::string& soundFolder, size_t fileCount,
                               const std::vector<SoundFileProblem>& problems,
                               const std::function<void(const std::string& message)>& show,
                               Language language) {
    if (problems.empty())
        return 0;
    for (const SoundFileProblem& problem : problems)
        writeErrorLine(soundFileProblemLine(problem.path, problem.reason, language));
    show(soundFolderMessage(soundFolder, fileCount, problems, language));
    return problems.size();
}

}  // namespace velozor
