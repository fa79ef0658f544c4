// Tests of the start-up check of the sound folder, on the mixer's finder, and of the file
// headers it reads.
#include "sound/SoundFolderCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sound/SoundFileHeader.h"
#include "sound/mixer/SoundFileFinder.h"
#include "tests/support/SoundFiles.h"

namespace velozor {
namespace {

namespace fs = std::filesystem;
using namespace testing;  // SoundFiles.h

class SoundFolderCheckTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(root_); }

    std::string file(const std::string& name) { return folder_ + "/" + name; }
    std::vector<std::string> gamePaths(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(root_.string() + "\\sonidos\\" + name);
        return paths;
    }

    const fs::path root_ = testFolder("check");
    const std::string folder_ = (root_ / "sonidos").string();
};

TEST_F(SoundFolderCheckTest, TellsMissingAndDamagedFilesFromPlayableOnesAndSaysOnceWhichInSpanish) {
    const auto level = [](int) { return int16_t{1000}; };
    writeWav(file("bien.wav"), 100, level);
    writeWav(file("onda.mp3"), 100, level);  // a wave under an MP3's name plays
    writeMp3(file("música.mp3"), kRate / 10, 8000);
    fs::create_directories(file("obstáculos"));
    writeWav(file("obstáculos/vacío.wav"), 0, level);  // its 44-byte header only
    std::ofstream(file("roto.wav")) << "not a sound file";
    std::ofstream(file("etiqueta.mp3")) << "ID3\x03" << std::string(6, '\0');  // a tag, no frame
    fs::copy_file(file("música.mp3"), file("cortado.mp3"));
    fs::resize_file(file("cortado.mp3"), 300);  // less than its first frame
    fs::create_directories(file("carpeta.wav"));

    const std::vector<SoundFileProblem> problems = findSoundFileProblems(
        gamePaths({"bien.wav", "onda.mp3", "música.mp3", "falta.wav", "obstáculos\\vacío.wav",
                   "roto.wav", "etiqueta.mp3", "cortado.mp3", "carpeta.wav", "otra\\falta.wav"}),
        findMixerSoundFile);
    std::vector<std::pair<SoundFileProblem::Kind, std::string>> found;
    for (const SoundFileProblem& problem : problems)
        found.emplace_back(problem.kind, problem.path);
    using Kind = SoundFileProblem::Kind;
    EXPECT_EQ(found, (std::vector<std::pair<Kind, std::string>>{
                         {Kind::Missing, file("falta.wav")},
                         {Kind::Damaged, file("obstáculos/vacío.wav")},
                         {Kind::Damaged, file("roto.wav")},
                         {Kind::Damaged, file("etiqueta.mp3")},
                         {Kind::Damaged, file("cortado.mp3")},
                         {Kind::Damaged, file("carpeta.wav")},
                         {Kind::Missing, file("otra/falta.wav")},
                     }));
    EXPECT_EQ(problems[1].reason, "no tiene sonido tras su cabecera");

    // How many are wrong, which and how to mend it, once.
    std::vector<std::string> shown;
    const auto show = [&](const std::string& message) { shown.push_back(message); };
    EXPECT_EQ(checkSoundFolder(folder_, gamePaths({"bien.wav"}), findMixerSoundFile, show), 0u);
    EXPECT_TRUE(shown.empty()) << "a sound folder in order must not hold the game up";

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(checkSoundFolder(folder_, gamePaths({"bien.wav", "falta.wav", "roto.wav"}),
                               findMixerSoundFile, show),
              2u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "velozor: archivo de sonido " + file("falta.wav") +
                  ": falta\nvelozor: archivo de sonido " + file("roto.wav") +
                  ": no es un archivo de sonido que el mezclador descodifique (ni RIFF/WAVE, ni "
                  "audio MPEG, ni Ogg)\n");
    ASSERT_EQ(shown.size(), 1u);
    // Many at once: the first five by name, the others counted.
    std::vector<std::string> names;
    for (int at = 1; at <= 8; ++at)
        names.push_back("falta" + std::to_string(at) + ".wav");
    const std::string many = soundFolderMessage(
        folder_, 73, findSoundFileProblems(gamePaths(names), findMixerSoundFile));
    for (const auto& [message, part] : std::vector<std::pair<std::string, std::string>>{
             {shown[0],
              "La carpeta de sonidos " + folder_ +
                  " está incompleta: de sus 3 archivos, "
                  "falta 1 y 1 está dañado o no se puede leer. Son «falta.wav» y «roto.wav»."},
             {shown[0], "velozor-soundpack"},
             {many,
              "de sus 73 archivos, faltan 8. Son «falta1.wav», «falta2.wav», «falta3.wav», "
              "«falta4.wav», «falta5.wav» y 3 más."}}) {
        EXPECT_NE(message.find(part), std::string::npos) << message;
    }
}

}  // namespace
}  // namespace velozor
