// Reads back the folder that velozor-soundpack generated and checks what a player's ear relies
// on: every file there, the formats, the loudness steps, the placement, the timbres, the words.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "game/GameRules.h"
#include "sound/SoundCatalogue.h"
#include "tests/tools/soundpack/SoundMeasures.h"
#include "tools/soundpack/Catalogue.h"
#include "tools/soundpack/Level.h"
#include "tools/soundpack/WavFile.h"

namespace velozor::soundpack {
namespace {

namespace fs = std::filesystem;

// Written by the ctest fixture "soundpack.generate" before these tests run.
const fs::path kGenerated = fs::path(VELOZOR_SOUNDPACK_GENERATED) / "sonidos";

fs::path inFolder(const fs::path& folder, const std::string& utf8Path) {
    return folder / fs::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

WavContents load(const std::string& utf8Path) {
    return readWav(inFolder(kGenerated, utf8Path));
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
    {"izquierda.wav", {0.4, 2}},     {"centro.wav", {0.3, 2}},
    {"derecha.wav", {0.3, 2}},       {"noCarrilIzquierda.wav", {1, 5}},
    {"noCarrilDerecha.wav", {1, 5}}, {"ayuda.wav", {30, 120}},
    {"menúOtro.wav", {0.4, 2.5}},    {"menúSalir.wav", {0.4, 2.5}},
    {"comenzar.wav", {0.6, 4}},      {"fin.wav", {0.4, 2.5}},
};
const std::vector<std::string> kEffects = {"motor.wav", "esquivar.wav", "frenando.wav", "auto.wav"};

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

class SoundFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(fs::is_directory(kGenerated))
            << kGenerated << " is missing: run the tests with ctest, whose fixture "
            << "soundpack.generate makes it, or run velozor-soundpack on its parent first";
    }
};

TEST_F(SoundFolder, HoldsExactlyTheCatalogueAndEveryFileDecodes) {
    std::set<std::string> onDisk;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kGenerated)) {
        if (entry.is_regular_file()) {
            const std::u8string name = entry.path().lexically_relative(kGenerated).u8string();
            onDisk.emplace(name.begin(), name.end());
        }
    }
    const std::set<std::string> expected = cataloguedFiles();
    EXPECT_EQ(onDisk, expected);
    EXPECT_EQ(expected.size(), 73u);

    for (const CataloguedSound& sound : cataloguedSounds()) {
        const std::string path = pathInSoundFolder(sound.path);
        SCOPED_TRACE(path);
        // Every single sound is judged below as speech or as an effect.
        EXPECT_TRUE(sound.approach || sound.playedAs == PlayedAs::Music ||
                    kSpoken.count(path) == 1 ||
                    std::count(kEffects.begin(), kEffects.end(), path) == 1)
            << "a catalogued sound that no test listens to";
        const fs::path file = inFolder(kGenerated, path);
        ASSERT_TRUE(fs::is_regular_file(file)) << "missing";
        if (sound.playedAs == PlayedAs::Music) {
            EXPECT_EQ(decodeMp3(file).sampleRate, kSampleRate);
            continue;
        }
        const WavContents wav = readWav(file);
        EXPECT_EQ(wav.sampleRate, kSampleRate);
        EXPECT_EQ(wav.bitsPerSample, 16);
        EXPECT_GT(wav.audio.frames(), 0u);
        const bool stereo = sound.approach || kPlaced.count(path) == 1;
        EXPECT_EQ(wav.audio.channels, stereo ? 2 : 1);
    }
}

TEST_F(SoundFolder, ApproachSoundsLastOneTickAndGrowLouderStepByStep) {
    for (const ApproachSet set : {ApproachSet::Stereo, ApproachSet::Mono}) {
        for (const int lane : kLanes) {
            double fartherDb = -INFINITY;
            for (int step = kFarthestApproachStep; step >= kNearestApproachStep; --step) {
                const std::string path = approachFile(set, lane, step);
                SCOPED_TRACE(path);
                const AudioBuffer audio = load(path).audio;
                EXPECT_NEAR(audio.seconds(), 0.5, 0.02);
                const double levelDb = loudnessDb(audio);
                EXPECT_GE(levelDb, fartherDb + 3.0);
                // Short fades: silent at both ends.
                EXPECT_LT(std::abs(audio.samples.front()), 0.001);
                EXPECT_LT(std::abs(audio.samples.back()), 0.001);
                fartherDb = levelDb;
            }
            EXPECT_GT(fartherDb, -20.0) << "the nearest step must be clearly loud";
        }
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

TEST_F(SoundFolder, StereoSetPlacesEachLaneOnItsSideAndMonoSetHasNoSide) {
    for (int step = kNearestApproachStep; step <= kFarthestApproachStep; ++step) {
        for (const int lane : kLanes) {
            const AudioBuffer stereo = load(approachFile(ApproachSet::Stereo, lane, step)).audio;
            expectSide(stereo, lane, approachFile(ApproachSet::Stereo, lane, step));
            const AudioBuffer mono = load(approachFile(ApproachSet::Mono, lane, step)).audio;
            EXPECT_EQ(channel(mono, 0), channel(mono, 1))
                << approachFile(ApproachSet::Mono, lane, step);
            // Losing the side must not change how loud the obstacle is.
            EXPECT_NEAR(loudnessDb(mono), loudnessDb(stereo), 0.5);
        }
    }
    for (const auto& [path, lane] : kPlaced)
        expectSide(load(path).audio, lane, path);
}

TEST_F(SoundFolder, LanesHaveTimbresThatDifferWithoutStereo) {
    for (int step = 0; step <= 6; step += 3) {
        std::vector<double> hertz;
        for (const int lane : kLanes)
            hertz.push_back(
                rmsFrequencyHz(downmix(load(approachFile(ApproachSet::Mono, lane, step)).audio)));
        std::sort(hertz.begin(), hertz.end());
        EXPECT_GE(hertz[1], 1.2 * hertz[0]) << "step " << step;
        EXPECT_GE(hertz[2], 1.2 * hertz[1]) << "step " << step;
    }
}

TEST_F(SoundFolder, SpokenFilesCarrySpeechOfAPlausibleLength) {
    for (const auto& [path, length] : kSpoken) {
        SCOPED_TRACE(path);
        const AudioBuffer audio = load(path).audio;
        EXPECT_GE(audio.seconds(), length.first);
        EXPECT_LE(audio.seconds(), length.second);
        EXPECT_GT(loudnessDb(audio), -24.0);
        // Speech is mostly sound with short pauses, not a click followed by silence: more than
        // half of its 20 ms windows are above -40 dB.
        const std::vector<double> levels = windowedRmsDb(downmix(audio), 0.02);
        EXPECT_GT(std::count_if(levels.begin(), levels.end(), [](double db) { return db > -40.0; }),
                  static_cast<std::ptrdiff_t>(levels.size() / 2));
    }
}

TEST_F(SoundFolder, EngineIsSteadyAndMusicIsLongAndBothStayBelowTheCues) {
    const AudioBuffer engine = load("motor.wav").audio;
    // The game restarts the engine every kEngineLoopTicks ticks: one loop, no gap, no overlap.
    EXPECT_NEAR(engine.seconds(), kEngineLoopTicks * kTickMilliseconds / 1000.0, 0.01);
    std::vector<double> levels = windowedRmsDb(engine.samples, 0.5);
    ASSERT_GE(levels.size(), 4u);
    levels = std::vector<double>(levels.begin() + 1, levels.end() - 1);  // beyond the fades
    const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LT(*loudest - *quietest, 3.0) << "the engine should hum evenly";

    const double speechDb = loudnessDb(load("dosVidas.wav").audio);
    EXPECT_LE(rmsDb(engine.samples), speechDb - 10.0);

    const DecodedMp3 music = decodeMp3(inFolder(kGenerated, "fondo.mp3"));
    const double musicSeconds = static_cast<double>(music.audio.frames()) / music.sampleRate;
    EXPECT_GE(musicSeconds, 90.0);
    EXPECT_LE(rmsDb(music.audio.samples), speechDb - 10.0);
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int runGenerator(const std::string& arguments) {
    const std::string command =
        std::string("\"") + VELOZOR_SOUNDPACK_PROGRAM + "\" " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SoundFolder, GeneratingAgainGivesTheSameBytes) {
    const fs::path again = fs::path(VELOZOR_SOUNDPACK_GENERATED).parent_path() / "generated-again";
    fs::remove_all(again);
    ASSERT_EQ(runGenerator("\"" + again.string() + "\""), 0);
    for (const std::string& path : cataloguedFiles()) {
        EXPECT_TRUE(contents(inFolder(kGenerated, path)) ==
                    contents(inFolder(again / "sonidos", path)))
            << path << " differs between two runs";
    }
    fs::remove_all(again);
}

TEST(SoundpackCommand, RefusesBadArgumentsAndUnwritableFolders) {
    EXPECT_EQ(runGenerator(""), 2);
    EXPECT_EQ(runGenerator("one two"), 2);
    // A regular file where the output folder should be: nothing can be created under it.
    const fs::path blocker = fs::path(VELOZOR_SOUNDPACK_GENERATED).parent_path() / "blocker";
    std::ofstream(blocker) << "not a folder";
    EXPECT_EQ(runGenerator("\"" + blocker.string() + "\""), 1);
    fs::remove(blocker);
}

}  // namespace
}  // namespace velozor::soundpack
