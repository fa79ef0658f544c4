// Tests of the Debian package as a player gets it: what it holds and needs, its desktop files
// checked by the desktop's own validators, lintian's verdict, and the game run from the
// unpacked tree on the tests' X display (xvfb-run).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/ProgramRun.h"
#include "tools/soundpack/Catalogue.h"

namespace {

using namespace std::chrono_literals;
using velozor::testing::commandOutput;

const std::string kPackage = VELOZOR_PACKAGE_FILE;
const std::filesystem::path kRoot = VELOZOR_PACKAGE_ROOT;
const std::string kAppId = VELOZOR_APP_ID;
const std::string kSoundFolders[] = {"usr/share/games/velozor/sonidos/",
                                     "usr/share/games/velozor/sounds/"};

// The package's entries as dpkg-deb lists them, without the leading "./": "path" for a file,
// "path -> target" for a link; folders left out.
std::set<std::string> packageEntries() {
    std::istringstream listing(commandOutput("dpkg-deb -c '" + kPackage + "'"));
    std::set<std::string> entries;
    for (std::string line; std::getline(listing, line);) {
        const auto at = line.find(" ./");
        if (line.empty() || line[0] == 'd' || at == std::string::npos)
            continue;
        entries.insert(line.substr(at + 3));
    }
    return entries;
}

// Its name, version and architecture are guarded by its file's name, which the unpacking
// fixture opens (CPack's DEB-DEFAULT name is made of those three fields).
TEST(Package, HoldsThePlayersFilesAndNothingElseAndNeedsTheLibrariesTheProgramLinks) {
    std::set<std::string> expected = {
        "usr/games/velozor -> ../lib/games/velozor/velozor",
        "usr/games/velozor-soundpack",
        "usr/lib/games/velozor/velozor",
        "usr/lib/games/velozor/sonidos -> ../../../share/games/velozor/sonidos",
        "usr/lib/games/velozor/sounds -> ../../../share/games/velozor/sounds",
        "usr/share/applications/" + kAppId + ".desktop",
        "usr/share/metainfo/" + kAppId + ".metainfo.xml",
        "usr/share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
        "usr/share/man/man6/velozor.6.gz",
        "usr/share/man/man6/velozor-soundpack.6.gz",
        "usr/share/man/es/man6/velozor.6.gz",
        "usr/share/man/es/man6/velozor-soundpack.6.gz",
        "usr/share/doc/velozor/copyright",
        "usr/share/doc/velozor/changelog.gz",
    };
    std::istringstream sizes(VELOZOR_DESKTOP_ICON_SIZES);
    for (std::string size; sizes >> size;)
        expected.insert("usr/share/icons/hicolor/" + size + "x" + size + "/apps/" + kAppId +
                        ".png");

    std::set<std::string> sounds;
    std::set<std::string> others;
    for (const std::string& entry : packageEntries()) {
        const bool sound =
            entry.rfind(kSoundFolders[0], 0) == 0 || entry.rfind(kSoundFolders[1], 0) == 0;
        (sound ? sounds : others).insert(entry);
    }
    // Exactly these: no development tool (velozor-sim, velozor-icons), test or benchmark.
    EXPECT_EQ(others, expected);
    for (const std::string& folder : kSoundFolders) {
        for (const auto& sound : velozor::soundpack::soundCatalogue())
            EXPECT_EQ(sounds.count(folder + sound.path), 1u)
                << "missing sound " << folder << sound.path;
    }

    // Found by dpkg-shlibdeps in the program itself, each with its minimum version.
    const std::string depends = commandOutput("dpkg-deb -f '" + kPackage + "' Depends");
    for (const char* library : {"libsdl2-2.0-0 (>=", "libsdl2-mixer-2.0-0 (>=",
                                "libsdl2-ttf-2.0-0 (>=", "libfontconfig1 (>=", "libc6 (>="}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library << " not in " << depends;
    }
    EXPECT_EQ(depends.find("-dev"), std::string::npos) << depends;
}

TEST(Package, DesktopEntryMetadataAndManualPageAreValidAndCarryTheVersion) {
    const std::filesystem::path share = kRoot / "usr/share";
    // Each validator says nothing about a valid file; a missing validator says so too.
    EXPECT_EQ(commandOutput("desktop-file-validate '" +
                            (share / "applications" / (kAppId + ".desktop")).string() + "' 2>&1"),
              "");

    const std::filesystem::path metainfo = share / "metainfo" / (kAppId + ".metainfo.xml");
    int status = -1;
    const std::string appstream = commandOutput(
        "appstreamcli validate --no-net --no-color '" + metainfo.string() + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << appstream;
    EXPECT_FALSE(std::regex_search(appstream, std::regex("(^|\n)[EW]: "))) << appstream;
    EXPECT_NE(velozor::testing::readFile(metainfo).find("<release version=\"" VELOZOR_VERSION "\""),
              std::string::npos);

    const std::string page = (share / "man/man6/velozor.6.gz").string();
    EXPECT_EQ(commandOutput("LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "
                            "-Tutf8 '" +
                            page + "' 2>&1 >/dev/null"),
              "");
    EXPECT_NE(
        commandOutput("zcat '" + page + "' | head -n 1").find("\"Velozor " VELOZOR_VERSION "\""),
        std::string::npos);
}

TEST(Package, LintianFindsNoErrors) {
    const std::string report =
        commandOutput("lintian --no-tag-display-limit '" + kPackage + "' 2>&1");
    EXPECT_FALSE(std::regex_search(report, std::regex("(^|\n)E: "))) << report;
}

// Keys, closing and the mix are the program's own tests' (tests/ui/sdl); here, that the game
// started through the link players run finds its packaged sound folder through the links.
TEST(Package, UnpackedGameStartedThroughItsLinkPlaysThePackagedSounds) {
    if (std::getenv("DISPLAY") == nullptr)
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    const std::filesystem::path recording = kRoot / "audio.raw";
    std::filesystem::remove(recording);
    velozor::testing::ProgramRun run;
    std::string error;
    // With 2048-frame buffers and 5 ms between them the disk driver plays about nine times
    // faster than real time, so the forty seconds of the spoken introduction pass in a few.
    ASSERT_TRUE(run.start((kRoot / "usr/games/velozor").string(),
                          {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + recording.string(),
                           "SDL_DISKAUDIODELAY=5", "VELOZOR_AUDIO_BUFFER_FRAMES=2048"},
                          (kRoot / "trace.txt").string(), error))
        << error;
    ASSERT_TRUE(velozor::testing::waitUntil([&] { return run.traced("\ttick\n"); }, 30s))
        << run.trace();
    // A missing file would be named on standard error and played as a short tone, which makes
    // a second or two of sound where the introduction's speech makes well over ten.
    EXPECT_EQ(run.trace().find("sound file not found"), std::string::npos) << run.trace();
    EXPECT_GT(velozor::testing::loudSamples(recording.string()), 10u * 44100 * 2)
        << "bytes recorded: " << std::filesystem::file_size(recording);
}

}  // namespace
