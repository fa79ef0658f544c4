// STAND-IN, built and run only at build time: writes the sound folder's file names, taken from
// the sound-folder tool's catalogue, as C++ string literals for SoundFolderPaths.cpp. It goes
// once the game's own list of sound paths lives in sound/.
#include <cstdio>
#include <string>

#include "tools/soundpack/Catalogue.h"

int main() {
    for (const velozor::soundpack::CatalogueEntry& entry : velozor::soundpack::soundCatalogue()) {
        std::string literal;
        for (char c : entry.path)
            literal += c == '/' ? "\\\\" : c == '"' ? "\\\"" : std::string(1, c);
        std::printf("\"%s\",\n", literal.c_str());
    }
    return 0;
}
