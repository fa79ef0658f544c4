// velozor-soundpack [--language es|en] [--rate WORDS_PER_MINUTE] [--music-level DB] [OUTPUT_DIR]:
// writes the game's sound folder, OUTPUT_DIR/sonidos (or sounds, in English); without
// OUTPUT_DIR, into the player's data folder, where the game looks first.
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/Language.h"
#include "sound/SoundFolderLocation.h"
#include "tools/soundpack/FolderOptions.h"
#include "tools/soundpack/SoundFolder.h"

namespace {

using namespace velozor::soundpack;

struct CommandLine {
    FolderOptions options;
    std::filesystem::path outputDir;  // empty: the player's data folder
};

// A bad command line: what was wrong, for a message that ends with the usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void printUsage(std::ostream& out) {
    out << "usage: velozor-soundpack [--language es|en] [--rate WORDS_PER_MINUTE] "
           "[--music-level DB] [OUTPUT_DIR]\n"
           "Writes the sound folder sonidos, or sounds in English, into OUTPUT_DIR, or without "
           "it into\nyour data folder ($XDG_DATA_HOME/velozor, by default ~/.local/share/velozor), "
           "where velozor\nlooks first.\n"
           "  --language es|en   the language of the spoken files (default es, Spanish)\n"
           "  --rate N           speaking rate, "
        << kSlowestWordsPerMinute << " to " << kFastestWordsPerMinute << " words a minute (default "
        << kDefaultWordsPerMinute
        << ")\n"
           "  --music-level DB   the music's level against the speech, "
        << kQuietestMusicLevelDb << " to " << kLoudestMusicLevelDb << " dB (default "
        << kDefaultMusicLevelDb << ")\n";
}

// The whole text as a number, or nullopt when anything else is there.
std::optional<double> number(std::string_view text) {
    try {
        std::size_t used = 0;
        const double value = std::stod(std::string(text), &used);
        if (used == text.size() && std::isfinite(value))
            return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::string wholeDb(double decibels) {
    return std::to_string(static_cast<int>(decibels));
}

CommandLine parse(int argc, char** argv) {
    CommandLine line;
    std::optional<std::filesystem::path> outputDir;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!argument.starts_with("--")) {
            if (outputDir)
                throw UsageError("give one OUTPUT_DIR, not both " + outputDir->string() + " and " +
                                 std::string(argument));
            outputDir = std::filesystem::path(argument);
            continue;
        }
        if (argument != "--language" && argument != "--rate" && argument != "--music-level")
            throw UsageError("unknown option " + std::string(argument));
        if (i + 1 == argc)
            throw UsageError(std::string(argument) + " needs a value");
        const std::string_view value = argv[++i];
        if (argument == "--language") {
            const std::optional<velozor::Language> language = velozor::languageOfCode(value);
            if (!language)
                throw UsageError("--language " + std::string(value) +
                                 ": give es (Spanish) or en (English)");
            line.options.language = *language;
        } else if (argument == "--rate") {
            const std::optional<double> rate = number(value);
            if (!rate || *rate != std::floor(*rate) || *rate < kSlowestWordsPerMinute ||
                *rate > kFastestWordsPerMinute)
                throw UsageError("--rate " + std::string(value) +
                                 ": give a whole number of words a "
                                 "minute from " +
                                 std::to_string(kSlowestWordsPerMinute) + " to " +
                                 std::to_string(kFastestWordsPerMinute));
            line.options.wordsPerMinute = static_cast<int>(*rate);
        } else {
            const std::optional<double> level = number(value);
            if (!level || *level < kQuietestMusicLevelDb || *level > kLoudestMusicLevelDb)
                throw UsageError("--music-level " + std::string(value) + ": give decibels from " +
                                 wholeDb(kQuietestMusicLevelDb) + " to " +
                                 wholeDb(kLoudestMusicLevelDb) +
                                 " (-15 puts the music 15 dB "
                                 "under the speech)");
            line.options.musicLevelDb = *level;
        }
    }
    if (outputDir)
        line.outputDir = *outputDir;
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    try {
        line = parse(argc, argv);
    } catch (const UsageError& error) {
        std::cerr << "velozor-soundpack: " << error.what() << "\n";
        printUsage(std::cerr);
        return 2;
    }
    if (line.outputDir.empty()) {
        line.outputDir =
            velozor::playerDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        if (line.outputDir.empty()) {
            std::cerr << "velozor-soundpack: cannot tell your data folder: neither XDG_DATA_HOME "
                         "nor HOME is set; set one, or name the OUTPUT_DIR\n";
            return 1;
        }
    }
    try {
        const int files = writeSoundFolder(line.outputDir, line.options);
        std::cout << "velozor-soundpack: wrote " << files << " files to "
                  << (line.outputDir / soundFolderName(line.options.language)).string() << "\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "velozor-soundpack: " << error.what() << "\n";
        return 1;
    }
}
