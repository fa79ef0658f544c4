// velozor-soundpack OUTPUT_DIR: writes the game's default sound folder, OUTPUT_DIR/sonidos.
#include <exception>
#include <filesystem>
#include <iostream>

#include "tools/soundpack/SoundFolder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: velozor-soundpack OUTPUT_DIR\n"
                     "Writes the default sound folder OUTPUT_DIR/"
                  << velozor::soundpack::kSoundFolderName
                  << " (put OUTPUT_DIR beside the velozor program).\n";
        return 2;
    }
    try {
        const std::filesystem::path outputDir(argv[1]);
        const int files = velozor::soundpack::writeSoundFolder(outputDir);
        std::cout << "velozor-soundpack: wrote " << files << " files to "
                  << (outputDir / velozor::soundpack::kSoundFolderName).string() << "\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "velozor-soundpack: " << error.what() << "\n";
        return 1;
    }
}
