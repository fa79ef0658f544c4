// velozor-icons: writes the game's icon as the files a desktop or an installer needs.
//   velozor-icons --png SIZE FILE   the picture drawn at SIZE by SIZE pixels, as PNG
//   velozor-icons --svg FILE        the scalable picture, as SVG
//   velozor-icons --ico FILE        the Windows icon: 16, 32 and 48 pixels at 8 and 32 bits
// Exit status 0 when the file is written, 1 on a write error, 2 on a wrong command line.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/icons/IcoFile.h"
#include "tools/icons/PngFile.h"
#include "tools/icons/SvgIcon.h"
#include "ui/IconPicture.h"

namespace {

constexpr const char* kUsage =
    "usage: velozor-icons --png SIZE FILE | --svg FILE | --ico FILE\n"
    "  --png SIZE FILE  the icon drawn at SIZE by SIZE pixels (1 to 1024), as PNG\n"
    "  --svg FILE       the scalable icon, as SVG\n"
    "  --ico FILE       the Windows icon (16, 32 and 48 pixels, 8 and 32 bits per pixel)\n";

int usage(const std::string& problem) {
    std::fprintf(stderr, "velozor-icons: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

int failed(const std::string& error) {
    std::fprintf(stderr, "velozor-icons: %s\n", error.c_str());
    return 1;
}

int writePng(const std::string& sizeText, const std::string& path) {
    char* end = nullptr;
    const long size = std::strtol(sizeText.c_str(), &end, 10);
    if (sizeText.empty() || *end != '\0' || size < 1 || size > 1024)
        return usage("the size \"" + sizeText + "\" is not a whole number from 1 to 1024");
    std::string error;
    const int side = static_cast<int>(size);
    if (!velozor::icons::writePng(path, velozor::drawIcon(side), side, error))
        return failed(error);
    return 0;
}

int writeSvg(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << velozor::icons::svgIcon(velozor::kIconGeometry);
    out.close();
    if (!out)
        return failed("cannot write " + path + " (check that its folder exists and is writable)");
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string option = argc > 1 ? argv[1] : "";
    if (option == "--png" && argc == 4)
        return writePng(argv[2], argv[3]);
    if (option == "--svg" && argc == 3)
        return writeSvg(argv[2]);
    if (option == "--ico" && argc == 3) {
        std::string error;
        return velozor::icons::writeIco(argv[2], error) ? 0 : failed(error);
    }
    if (option == "--png")
        return usage("--png takes a SIZE and a FILE");
    if (option == "--svg" || option == "--ico")
        return usage(option + " takes one FILE");
    return usage(option.empty() ? "nothing to write" : "unknown option \"" + option + "\"");
}
