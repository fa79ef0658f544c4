// Wave files written and read back, and the refusals of what cannot be written or read.
#include "tools/soundpack/WavFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tests/support/ProgramProbe.h"
#include "tests/support/SoundFiles.h"

namespace velozor::soundpack {
namespace {

TEST(WavFileTest, ClipsOverloadsReadsBackAndNamesWhatIsWrongWithAFile) {
    const std::filesystem::path file = testing::testFolder("wavfile");
    // Values in between come back exact: the mixer's tests hear their fixtures frame for frame.
    writeWav(file, AudioBuffer{2, {2.0f, -3.0f}});
    EXPECT_EQ(std::filesystem::file_size(file), 44u + 2 * 2);
    const WavContents read = readWav(file);
    EXPECT_EQ(read.sampleRate, 44100);
    EXPECT_EQ(read.audio.channels, 2);
    EXPECT_EQ(read.audio.samples, (std::vector<float>{32767 / 32768.0f, -32767 / 32768.0f}));

    EXPECT_THROW(writeWav(file, AudioBuffer{2, {0.1f, 0.2f, 0.3f}}), std::runtime_error);
    std::string truncated = testing::readFile(file);
    truncated.resize(truncated.size() - 2);
    const std::pair<std::string, std::string> files[] = {
        {truncated, "runs past the end"},
        {std::string("RIFF\x04\0\0\0WAVE", 12), "no format chunk"}};
    for (const auto& [bytes, problem] : files) {
        std::ofstream(file, std::ios::binary) << bytes;
        try {
            readWav(file);
            ADD_FAILURE() << "read a file with " << problem;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(problem), std::string::npos) << error.what();
        }
    }
    std::filesystem::remove(file);
    EXPECT_THROW(readWav(file), std::runtime_error);
}

}  // namespace
}  // namespace velozor::soundpack
