// Wave files written and read back, and the refusals of what cannot be written or read.
#include "tools/soundpack/WavFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tests/support/ProgramProbe.h"

namespace velozor::soundpack {
namespace {

namespace fs = std::filesystem;

class WavFileTest : public ::testing::Test {
protected:
    // The process id keeps runs from other build folders on the same machine apart.
    fs::path file_ =
        fs::temp_directory_path() /
        ("velozor-wavfile-" + std::to_string(::getpid()) + "-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".wav");
    void TearDown() override { fs::remove(file_); }
};

TEST_F(WavFileTest, StereoRoundTripKeepsFramesAndClipsOverloads) {
    writeWav(file_, AudioBuffer{2, {0.0f, 0.5f, -0.25f, 1.0f, 2.0f, -3.0f}});
    EXPECT_EQ(fs::file_size(file_), 44u + 6 * 2);
    const WavContents read = readWav(file_);
    EXPECT_EQ(read.sampleRate, 44100);
    ASSERT_EQ(read.audio.channels, 2);
    ASSERT_EQ(read.audio.frames(), 3u);
    const float expected[] = {0.0f, 0.5f, -0.25f, 1.0f, 1.0f, -1.0f};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(read.audio.samples[i], expected[i], 1.0 / 32768 + 1e-6) << "sample " << i;
}

TEST_F(WavFileTest, RefusesPartialFramesAndNamesWhatIsWrongWithAFile) {
    EXPECT_THROW(writeWav(file_, AudioBuffer{2, {0.1f, 0.2f, 0.3f}}), std::runtime_error);
    writeWav(file_, AudioBuffer{1, {0.1f, 0.2f}});
    std::string truncated = velozor::testing::readFile(file_);
    truncated.resize(truncated.size() - 2);
    const std::pair<std::string, std::string> files[] = {
        {truncated, "runs past the end"},
        {std::string("RIFF\x04\0\0\0WAVE", 12), "no format chunk"}};
    for (const auto& [bytes, problem] : files) {
        std::ofstream(file_, std::ios::binary) << bytes;
        try {
            readWav(file_);
            ADD_FAILURE() << "read a file with " << problem;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(problem), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(readWav(file_.string() + ".absent"), std::runtime_error);
}

}  // namespace
}  // namespace velozor::soundpack
