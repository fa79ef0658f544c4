// Reads back the folders that velozor-soundpack generated and checks what a player's ear relies
// on: every file there, the formats, the loudness steps, the placement, the timbres, the words,
// the music's level and that nothing in the music imitates or hides an obstacle. Every check is
// made on the default folder and on the folders the options make.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "game/GameRules.h"
#include "sound/SoundCatalogue.h"
#include "sound/SoundFolderLocation.h"
#include "tests/support/ProgramProbe.h"
#include "tests/tools/soundpack/SoundMeasures.h"
#include "tools/soundpack/ApproachSounds.h"
#include "tools/soundpack/Catalogue.h"
#include "tools/soundpack/Level.h"
#include "tools/soundpack/SpeechSynth.h"
#include "tools/soundpack/SpokenTexts.h"
#include "tools/soundpack/WavFile.h"

namespace velozor::soundpack {
namespace {

namespace fs = std::filesystem;

// A folder written by one of the ctest fixtures "soundpack.generate.*" before these tests run,
// and the options it was made with (tests/tools/soundpack/CMakeLists.txt).
struct MadeFolder {
    const char* name;
    FolderOptions options;

    fs::path path() const {
        return fs::path(VELOZOR_SOUNDPACK_GENERATED) / name / soundFolderName(options.language);
    }
};
// For gtest's messages: the folder by name rather than its bytes.
void PrintTo(const MadeFolder& folder, std::ostream* out) {
    *out << folder.name;
}

const MadeFolder kDefaultFolder{"default", {}};
// The player's own, made where the game looks first: XDG_DATA_HOME/velozor.
const MadeFolder kEnglishFolder{"velozor", {.language = Language::English}};
const MadeFolder kFastFolder{"fast", {.wordsPerMinute = 320, .musicLevelDb = -20.0}};

fs::path inFolder(const fs::path& folder, const std::string& utf8Path) {
    return folder / fs::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

// Level of all channels' power together, in dB: what a listener hears overall, wherever the
// sound is placed.
double loudnessDb(const AudioBuffer& audio) {
    return rmsDb(audio.samples) + 10.0 * std::log10(audio.channels);
}

// Spoken files and the length each may plausibly have, in seconds.
const std::map<std::string, std::pair<double, double>> kSpoken = {
    {"intro/arch 1.wav", {0.8, 4}},  {"intro/arch 2.wav", {10, 40}},
    {"intro/arch 3.wav", {6, 30}},   {"intro/arch 4.wav", {2, 6}},
    {"chocaste.wav", {0.6, 3}},      {"dosVidas.wav", {0.6, 3}},
    {"unaVida.wav", {0.8, 4}},       {"despedida.wav", {2, 8}},
    {"finestereo.wav", {1, 5}},      {"nivel2.wav", {3, 12}},
    {"nivel3.wav", {6, 20}},         {"finpuntos.wav", {2, 8}},
    {"introd.wav", {4, 15}},         {"vieneizquierda.wav", {0.8, 4}},
    {"vienecentro.wav", {0.8, 4}},   {"vienederecha.wav", {0.8, 4}},
    {"izquierda.wav", {0.3, 2}},     {"centro.wav", {0.3, 2}},
    {"derecha.wav", {0.3, 2}},       {"noCarrilIzquierda.wav", {1, 5}},
    {"noCarrilDerecha.wav", {1, 5}}, {"ayuda.wav", {30, 120}},
    {"menúOtro.wav", {0.4, 2.5}},    {"menúSalir.wav", {0.4, 2.5}},
    {"comenzar.wav", {0.6, 4}},      {"fin.wav", {0.4, 2.5}},
};

// The catalogued files, as they lie inside the folder: the generator must make exactly these.
std::set<std::string> cataloguedFiles() {
    std::set<std::string> files;
    for (const CataloguedSound& sound : cataloguedSounds())
        files.insert(pathInSoundFolder(sound.path));
    return files;
}

// Spoken files with a side, and the lane whose side that is; all other single sounds are mono.
const std::map<std::string, int> kPlaced = {
    {"vieneizquierda.wav", -1}, {"izquierda.wav", -1}, {"noCarrilIzquierda.wav", -1},
    {"vienederecha.wav", 1},    {"derecha.wav", 1},    {"noCarrilDerecha.wav", 1},
    {"vienecentro.wav", 0},     {"centro.wav", 0}};
const int kLanes[] = {-1, 0, 1};

std::string approachFile(ApproachSet set, int lane, int step) {
    return pathInSoundFolder(approachPath(static_cast<int16_t>(lane), set, std::to_string(step)));
}

void expectMade(const MadeFolder& folder) {
    ASSERT_TRUE(fs::is_directory(folder.path()))
        << folder.path() << " is missing: run the tests with ctest, whose fixtures "
        << "soundpack.generate.* make it, or run velozor-soundpack on its parent first";
}

class SoundFolder : public ::testing::TestWithParam<MadeFolder> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(expectMade(GetParam())); }

    fs::path folder() const { return GetParam().path(); }
    WavContents load(const std::string& utf8Path) const {
        return readWav(inFolder(folder(), utf8Path));
    }
    AudioBuffer music() const { return decodeMp3(inFolder(folder(), "fondo.mp3")); }

    // The median loudness of the spoken files: the speech the music is set against.
    double medianSpeechDb() const {
        std::vector<double> levels;
        for (const auto& [path, length] : kSpoken)
            levels.push_back(loudnessDb(load(path).audio));
        std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
        return levels[levels.size() / 2];
    }
    // Each lane's motif as the mono set gives it at `step`.
    std::vector<float> laneAt(int lane, int step) const {
        return downmix(load(approachFile(ApproachSet::Mono, lane, step)).audio);
    }
};

TEST_P(SoundFolder, HoldsExactlyTheCatalogueAndEveryFileDecodes) {
    std::set<std::string> onDisk;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder())) {
        if (entry.is_regular_file()) {
            const std::u8string name = entry.path().lexically_relative(folder()).u8string();
            onDisk.emplace(name.begin(), name.end());
        }
    }
    EXPECT_EQ(onDisk, cataloguedFiles());

    for (const CataloguedSound& sound : cataloguedSounds()) {
        const std::string path = pathInSoundFolder(sound.path);
        SCOPED_TRACE(path);
        const fs::path file = inFolder(folder(), path);
        if (sound.playedAs == PlayedAs::Music) {
            EXPECT_NO_THROW(decodeMp3(file));  // at kSampleRate
            continue;
        }
        const WavContents wav = readWav(file);  // 16-bit, or it throws
        EXPECT_EQ(wav.sampleRate, kSampleRate);
        EXPECT_GT(wav.audio.frames(), 0u);
        const bool stereo = sound.approach || kPlaced.count(path) == 1;
        EXPECT_EQ(wav.audio.channels, stereo ? 2 : 1);
    }
}

// Left over right in dB: clearly positive on the left, clearly negative on the right.
void expectSide(const AudioBuffer& audio, int lane, const std::string& path) {
    const double leftOverRightDb = rmsDb(channel(audio, 0)) - rmsDb(channel(audio, 1));
    if (lane < 0) {
        EXPECT_GE(leftOverRightDb, 6.0) << path;
    } else if (lane > 0) {
        EXPECT_LE(leftOverRightDb, -6.0) << path;
    } else {
        EXPECT_LE(std::abs(leftOverRightDb), 1.0) << path;
    }
}

TEST_P(SoundFolder, ApproachSoundsLastOneTickGrowLouderStepByStepAndSitOnTheirLanesSide) {
    for (const int lane : kLanes) {
        double fartherDb = -INFINITY;
        for (int step = kFarthestApproachStep; step >= kNearestApproachStep; --step) {
            const std::string path = approachFile(ApproachSet::Stereo, lane, step);
            SCOPED_TRACE(path);
            const AudioBuffer stereo = load(path).audio;
            const AudioBuffer mono = load(approachFile(ApproachSet::Mono, lane, step)).audio;
            for (const AudioBuffer& audio : {stereo, mono}) {
                EXPECT_NEAR(audio.seconds(), 0.5, 0.02);
                // Short fades: silent at both ends.
                EXPECT_LT(std::abs(audio.samples.front()), 0.001);
                EXPECT_LT(std::abs(audio.samples.back()), 0.001);
            }
            const double levelDb = loudnessDb(stereo);
            EXPECT_GE(levelDb, fartherDb + 3.0);
            fartherDb = levelDb;
            expectSide(stereo, lane, path);
            EXPECT_EQ(channel(mono, 0), channel(mono, 1)) << "the mono set has a side";
            // Losing the side must not change how loud the obstacle is.
            EXPECT_NEAR(loudnessDb(mono), levelDb, 0.5);
        }
        EXPECT_GT(fartherDb, -20.0) << "the nearest step must be clearly loud";
    }
    for (const auto& [path, lane] : kPlaced)
        expectSide(load(path).audio, lane, path);
}

TEST_P(SoundFolder, SpokenFilesCarrySpeechOfAPlausibleLengthShorterAtAFasterRate) {
    // Faster speech may be shorter in proportion, and is shorter than the default folder's.
    const double pace =
        static_cast<double>(kDefaultWordsPerMinute) / GetParam().options.wordsPerMinute;
    double seconds = 0.0;
    double usualSeconds = 0.0;
    for (const auto& [path, length] : kSpoken) {
        SCOPED_TRACE(path);
        const AudioBuffer audio = load(path).audio;
        EXPECT_GE(audio.seconds(), length.first * std::min(pace, 1.0));
        EXPECT_LE(audio.seconds(), length.second);
        EXPECT_GT(loudnessDb(audio), -24.0);
        // Speech is mostly sound with short pauses, not a click followed by silence: more than
        // half of its 20 ms windows are above -40 dB (faster words leave the count-in's fixed
        // beats longer pauses, so that share shrinks with the pace).
        const std::vector<double> levels = windowedRmsDb(downmix(audio), 0.02);
        EXPECT_GT(std::count_if(levels.begin(), levels.end(), [](double db) { return db > -40.0; }),
                  static_cast<std::ptrdiff_t>(levels.size() / 2 * std::min(pace, 1.0)));
        const double usual = readWav(inFolder(kDefaultFolder.path(), path)).audio.seconds();
        if (pace < 1.0) {
            EXPECT_LE(audio.seconds(), usual);
        }
        seconds += audio.seconds();
        usualSeconds += usual;
    }
    // Twice the words a minute: well under three quarters of the time, all files together.
    if (pace <= 0.5) {
        EXPECT_LT(seconds, 0.75 * usualSeconds);
    }
}

TEST_P(SoundFolder, EngineIsSteadyAndMusicIsLongAndBothStayBelowTheSpeech) {
    const AudioBuffer engine = load("motor.wav").audio;
    // The game restarts the engine every kEngineLoopTicks ticks: one loop, no gap, no overlap.
    EXPECT_NEAR(engine.seconds(), kEngineLoopTicks * kTickMilliseconds / 1000.0, 0.01);
    std::vector<double> levels = windowedRmsDb(engine.samples, 0.5);
    ASSERT_GE(levels.size(), 4u);
    levels = std::vector<double>(levels.begin() + 1, levels.end() - 1);  // beyond the fades
    const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LT(*loudest - *quietest, 3.0) << "the engine should hum evenly";
    EXPECT_LE(rmsDb(engine.samples), loudnessDb(load("dosVidas.wav").audio) - 10.0);

    const AudioBuffer music = this->music();
    EXPECT_GE(music.seconds(), 90.0);
    const double musicUnderSpeechDb = rmsDb(music.samples) - medianSpeechDb();
    EXPECT_NEAR(musicUnderSpeechDb, GetParam().options.musicLevelDb, 1.0);
    EXPECT_LE(musicUnderSpeechDb, -12.0) << "quick cues must stay easy to follow over the music";
}

TEST_P(SoundFolder, EachLaneHasPitchesOfItsOwnThatTheMusicKeepsOffAndTheFarthestStepRisesAbove) {
    const std::vector<float> music = this->music().samples;
    // The music and the engine as they sound together under play, the engine looped.
    std::vector<float> background = music;
    const std::vector<float> engine = load("motor.wav").audio.samples;
    for (std::size_t at = 0; at < music.size(); at += engine.size())
        mixInto(background, engine, at);
    background.resize(music.size());

    for (const int lane : kLanes) {
        SCOPED_TRACE("lane " + std::to_string(lane));
        const std::vector<double> pitches = lanePitchesHz(static_cast<Lane>(lane + 1));
        const std::vector<float> nearest = laneAt(lane, kNearestApproachStep);
        EXPECT_GT(pitchPowerDb(nearest, pitches) - rmsDb(nearest), -3.0)
            << "the lane's sound lies elsewhere than its pitches";
        // Told apart without stereo: little of the lane's sound on another lane's pitches.
        for (const int other : kLanes) {
            const double shareDb =
                pitchPowerDb(nearest, lanePitchesHz(static_cast<Lane>(other + 1))) - rmsDb(nearest);
            EXPECT_TRUE(other == lane || shareDb < -10.0) << "it sounds like lane " << other;
        }
        EXPECT_LT(pitchPowerDb(music, pitches) - rmsDb(music), -20.0)
            << "the music's share on the lane's pitches";
        // Judged against the loudest 4 s of the background, not its average.
        double loudestDb = -INFINITY;
        for (std::size_t at = 0; at + framesFor(4.0) <= background.size(); at += framesFor(2.0))
            loudestDb = std::max(loudestDb, pitchPowerDb(background, pitches, at, framesFor(4.0)));
        EXPECT_GE(pitchPowerDb(laneAt(lane, kFarthestApproachStep), pitches), loudestDb + 3.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Made, SoundFolder,
                         ::testing::Values(kDefaultFolder, kEnglishFolder, kFastFolder),
                         [](const ::testing::TestParamInfo<MadeFolder>& folder) {
                             return std::string(folder.param.name);
                         });

TEST(SoundFolders, EnglishFolderSpeaksEnglishWithTheEnglishVoice) {
    ASSERT_NO_FATAL_FAILURE(expectMade(kEnglishFolder));
    // Short English words last as long as eSpeak NG's English voice says them, to 1%; its
    // Spanish voice reading them is more than 1.5% off on each. (eSpeak varies the pauses of
    // long sentences a little from one run to the next, so those are not compared.)
    SpeechSynth synth(voiceName(Language::English), kDefaultWordsPerMinute);
    for (const std::string path : {"menúSalir.wav", "dosVidas.wav", "fin.wav"}) {
        const double frames = readWav(inFolder(kEnglishFolder.path(), path)).audio.frames();
        EXPECT_NEAR(frames / synth.speak(spokenText(Language::English, path)).size(), 1.0, 0.01)
            << path;
    }
}

int runGenerator(const std::string& arguments) {
    int status = -1;
    velozor::testing::commandOutput(
        std::string("\"") + VELOZOR_SOUNDPACK_PROGRAM + "\" " + arguments + " >/dev/null 2>&1",
        &status);
    return status;
}

TEST(SoundpackCommand, GivesTheSameBytesAgainAndRefusesBadArgumentsAndUnwritableFolders) {
    ASSERT_NO_FATAL_FAILURE(expectMade(kDefaultFolder));
    const fs::path beside = fs::path(VELOZOR_SOUNDPACK_GENERATED).parent_path();
    fs::remove_all(beside / "generated-again");
    ASSERT_EQ(runGenerator("\"" + (beside / "generated-again").string() + "\""), 0);
    for (const std::string& path : cataloguedFiles()) {
        EXPECT_TRUE(velozor::testing::readFile(inFolder(kDefaultFolder.path(), path)) ==
                    velozor::testing::readFile(inFolder(beside / "generated-again/sonidos", path)))
            << path << " differs between two runs";
    }
    fs::remove_all(beside / "generated-again");

    fs::remove_all(beside / "never-made");  // a failed run's leftovers
    EXPECT_EQ(runGenerator("one two"), 2);
    for (const std::string options :
         {"--language fr", "--language", "--rate fast", "--rate 79", "--rate 451", "--rate 200.5",
          "--music-level 3", "--music-level -41", "--music-level loud", "--volume 3"}) {
        EXPECT_EQ(runGenerator(options + " \"" + (beside / "never-made").string() + "\""), 2)
            << options;
    }
    EXPECT_FALSE(fs::exists(beside / "never-made")) << "a refused command line must write nothing";
    // A regular file where the output folder should be: nothing can be created under it.
    std::ofstream(beside / "blocker") << "not a folder";
    EXPECT_EQ(runGenerator("\"" + (beside / "blocker").string() + "\""), 1);
    fs::remove(beside / "blocker");
}

}  // namespace
}  // namespace velozor::soundpack
