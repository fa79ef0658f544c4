// Tests of the resolution of the game's sound paths on disk.
#include "sound/mixer/PathResolver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace velozor {
namespace {

namespace fs = std::filesystem;

const std::string kNfc =
    "obst\xC3\xA1"
    "culo1";  // "obstáculo1", á precomposed
const std::string kNfd =
    "obst"
    "a\xCC\x81"
    "culo1";  // a followed by U+0301
const std::string kLatin1 =
    "obst\xE1"
    "culo1";  // á as the single byte 0xE1

class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("velozor-paths-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
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

TEST_F(PathResolverTest, FindsTheGamesBackslashedPathInAFolderWithSpaces) {
    const std::string onDisk = touch("sonidos/intro/arch 1.wav");
    const auto found = resolveGamePath(folder_ + "\\sonidos\\intro\\arch 1.wav");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, onDisk);
    EXPECT_TRUE(found->isRegularFile);
    EXPECT_EQ(found->size, 1);
}

TEST_F(PathResolverTest, MatchesAccentedFoldersHoweverTheirNamesAreEncodedOnDisk) {
    for (const std::string& onDiskName : {kNfc, kNfd, kLatin1}) {
        SCOPED_TRACE(onDiskName);
        const std::string onDisk = touch(
            "sonidos/obst\xC3\xA1"
            "culos/" +
            onDiskName + "/obstacle16.wav");
        for (const std::string& askedName : {kNfc, kNfd, kLatin1}) {
            const auto found = resolveGamePath(folder_ +
                                               "\\sonidos\\obst\xC3\xA1"
                                               "culos\\" +
                                               askedName + "\\obstacle16.wav");
            ASSERT_TRUE(found) << "asked as " << askedName;
            EXPECT_EQ(found->path, onDisk);
        }
        fs::remove_all(fs::path(folder_) / "sonidos");
    }
}

TEST_F(PathResolverTest, IgnoresCaseInEveryComponentIncludingAccentedLetters) {
    const std::string onDisk = touch(
        "Sonidos/MEN\xC3\x9A"
        "/Men\xC3\xBA"
        "Otro.WAV");  // MENÚ
    const auto found = resolveGamePath(folder_ +
                                       "\\sonidos\\men\xFA\\men\xC3\xBA"
                                       "otro.wav");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, onDisk);
}

TEST_F(PathResolverTest, PrefersTheExactNameAndOtherwiseTheFirstInByteOrder) {
    const std::string lower = touch("sonidos/motor.wav");
    const std::string upper = touch("sonidos/MOTOR.wav");
    EXPECT_EQ(resolveGamePath(folder_ + "\\sonidos\\motor.wav")->path, lower);
    EXPECT_EQ(resolveGamePath(folder_ + "\\sonidos\\Motor.wav")->path, upper);  // "M" < "m"
}

TEST_F(PathResolverTest, AMissingFileOrFolderIsNotFound) {
    touch("sonidos/motor.wav");
    EXPECT_FALSE(resolveGamePath(folder_ + "\\sonidos\\motores.wav"));
    EXPECT_FALSE(resolveGamePath(folder_ + "\\sonido\\motor.wav"));
    EXPECT_FALSE(resolveGamePath(folder_ + "\\sonidos\\motor.wav\\x"));
    EXPECT_FALSE(resolveGamePath(""));
}

TEST_F(PathResolverTest, AcceptsPathsFarLongerThanOneHundredAndSixtyThreeCharacters) {
    const std::string deep(120, 'd');
    const std::string onDisk = touch(deep + "/" + deep + "/sonidos/motor.wav");
    const std::string asked = folder_ + "\\" + deep + "\\" + deep + "\\SONIDOS\\motor.wav";
    ASSERT_GT(asked.size(), 300u);
    const auto found = resolveGamePath(asked);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, onDisk);
}

TEST(FoldedName, TellsApartLettersThatOnlyLookAlikeWhenFolded) {
    EXPECT_EQ(foldedName(kNfc), foldedName(kLatin1));
    EXPECT_EQ(foldedName(kNfd), foldedName("OBST\xC3\x81"
                                           "CULO1"));
    EXPECT_NE(foldedName(kNfc), foldedName("obstaculo1"));  // the accent matters
    EXPECT_NE(foldedName("obst\xC3\xA0"
                         "culo1"),
              foldedName(kNfc));  // à is not á
    EXPECT_NE(foldedName("a\xCC\x80"), foldedName(kNfd.substr(4, 3)));
}

}  // namespace
}  // namespace velozor
