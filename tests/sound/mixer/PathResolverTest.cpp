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
    void SetUp() override {
        root_ = testing::testFolder("paths");
        fs::create_directories(root_ / "Mis juegos" / "velozor");
        folder_ = (root_ / "Mis juegos" / "velozor").string();
    }
    void TearDown() override { fs::remove_all(root_); }

    // Creates `relative` (with '/') under the program folder, with its folders.
    std::string touch(const std::string& relative) {
        const fs::path file = fs::path(folder_) / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
        return file.string();
    }

    fs::path root_;
    std::string folder_;  // a program folder whose name holds a space
};

TEST_F(PathResolverTest, FindsBackslashedPathsWithSpacesAndNoLengthLimit) {
    const std::string onDisk = touch("sonidos/intro/arch 1.wav");
    const auto found = resolveGamePath(folder_ + "\\sonidos\\intro\\arch 1.wav");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, onDisk);
    EXPECT_EQ(found->size, 1);

    const std::string deep(120, 'd');
    const std::string deepOnDisk = touch(deep + "/" + deep + "/sonidos/motor.wav");
    const std::string asked = folder_ + "\\" + deep + "\\" + deep + "\\SONIDOS\\motor.wav";
    ASSERT_GT(asked.size(), 300u);
    EXPECT_EQ(resolveGamePath(asked)->path, deepOnDisk);
}

TEST_F(PathResolverTest, MatchesAccentedFoldersHoweverTheirNamesAreEncodedOnDisk) {
    const std::string obstacles = "\\sonidos\\obst" + kNfc + "culos\\";
    for (const std::string& onDiskA : {kNfc, kNfd, kLatin1}) {
        SCOPED_TRACE("on disk: " + onDiskA);
        const std::string onDisk =
            touch("sonidos/obst" + kNfc + "culos/obst" + onDiskA + "culo1/obstacle16.wav");
        for (const std::string& askedA : {kNfc, kNfd, kLatin1}) {
            const auto found =
                resolveGamePath(folder_ + obstacles + "obst" + askedA + "culo1\\obstacle16.wav");
            ASSERT_TRUE(found) << "asked as " << askedA;
            EXPECT_EQ(found->path, onDisk);
        }
        // The accent belongs to the name: neither a bare "a" nor "à" (either form) stands for "á".
        for (const std::string other : {"a", "\xC3\xA0", "a\xCC\x80"}) {
            EXPECT_FALSE(
                resolveGamePath(folder_ + obstacles + "obst" + other + "culo1\\obstacle16.wav"));
        }
        fs::remove_all(fs::path(folder_) / "sonidos");
    }
}

TEST_F(PathResolverTest, IgnoresCaseInEveryComponentAndFindsNothingMissing) {
    // On disk "MENÚ/MenúOtro.WAV"; asked for as "menú" in Latin-1 and "menúotro.wav".
    const std::string onDisk = touch("Sonidos/MEN\xC3\x9A/Men\xC3\xBAOtro.WAV");
    const auto found = resolveGamePath(folder_ + "\\sonidos\\men\xFA\\men\xC3\xBAotro.wav");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, onDisk);

    touch("Sonidos/motor.wav");
    EXPECT_FALSE(resolveGamePath(folder_ + "\\sonidos\\motores.wav"));
    EXPECT_FALSE(resolveGamePath(folder_ + "\\sonido\\motor.wav"));
    EXPECT_FALSE(resolveGamePath(folder_ + "\\sonidos\\motor.wav\\x"));
    EXPECT_FALSE(resolveGamePath(""));
}

}  // namespace
}  // namespace velozor
