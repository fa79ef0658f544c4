// Tests of the resolution of the game's sound paths on disk.
#include "sound/mixer/PathResolver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/SoundFiles.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;

// "á" in the three spellings a copied folder name can have.
const std::string kNfc = "\xC3\xA1";   // U+00E1 in UTF-8
const std::string kNfd = "a\xCC\x81";  // a, then U+0301 COMBINING ACUTE ACCENT
const std::string kLatin1 = "\xE1";    // one byte in the Western European code page

class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(folder_.parent_path().parent_path()); }

    // Creates `relative` (with '/') under the program folder, with its folders.
    std::string touch(const std::string& relative) {
        const fs::path file = folder_ / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
        return file.string();
    }
    std::optional<ResolvedFile> resolve(const std::string& asked) {
        return resolveGamePath(folder_.string() + asked);
    }

    // A program folder whose name holds a space.
    const fs::path folder_ = testing::testFolder("paths") / "Mis juegos" / "velozor";
};

TEST_F(PathResolverTest, FindsBackslashedPathsWhateverTheirCaseOrLengthAndNothingMissing) {
    const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'd');
    const struct {
        std::string onDisk, asked;
    } finds[] = {
        {"sonidos/intro/arch 1.wav", "\\sonidos\\intro\\arch 1.wav"},
        {deep + "/sonidos/motor.wav",
         "\\" + std::string(120, 'd') + "\\" + std::string(120, 'd') + "\\SONIDOS\\motor.wav"},
        // On disk "MENÚ/MenúOtro.WAV"; asked for as "menú" in Latin-1 and "menúotro.wav".
        {"sonidos/MEN\xC3\x9A/Men\xC3\xBAOtro.WAV", "\\Sonidos\\men\xFA\\men\xC3\xBAotro.wav"},
    };
    for (const auto& find : finds) {
        const std::string onDisk = touch(find.onDisk);
        const auto found = resolve(find.asked);
        ASSERT_TRUE(found) << find.asked;
        EXPECT_EQ(found->path, onDisk);
        EXPECT_EQ(found->size, 1);
    }
    touch("sonidos/motor.wav");
    for (const char* missing :
         {"\\sonidos\\motores.wav", "\\sonido\\motor.wav", "\\sonidos\\motor.wav\\x"}) {
        EXPECT_FALSE(resolve(missing)) << missing;
    }
    EXPECT_FALSE(resolveGamePath(""));
}

TEST_F(PathResolverTest, MatchesAccentedFoldersHoweverTheirNamesAreEncodedOnDisk) {
    const std::string obstacles = "\\sonidos\\obst" + kNfc + "culos\\";
    for (const std::string& onDiskA : {kNfc, kNfd, kLatin1}) {
        SCOPED_TRACE("on disk: " + onDiskA);
        const std::string onDisk =
            touch("sonidos/obst" + kNfc + "culos/obst" + onDiskA + "culo1/obstacle16.wav");
        for (const std::string& askedA : {kNfc, kNfd, kLatin1}) {
            const auto found = resolve(obstacles + "obst" + askedA + "culo1\\obstacle16.wav");
            ASSERT_TRUE(found) << "asked as " << askedA;
            EXPECT_EQ(found->path, onDisk);
        }
        // The accent belongs to the name: neither a bare "a" nor "à" (either form) stands for "á".
        for (const std::string other : {"a", "\xC3\xA0", "a\xCC\x80"})
            EXPECT_FALSE(resolve(obstacles + "obst" + other + "culo1\\obstacle16.wav"));
        fs::remove_all(folder_ / "sonidos");
    }
}

}  // namespace
}  // namespace velozor
