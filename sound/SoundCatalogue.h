// Every sound file the game can ask for, and how the game plays each one: the list that the
// start-up check of the sound folder (each program's main), the sound-folder generator and the
// tests read. The game's own code writes its paths as literals and takes from here only the
// approach sounds' paths (approachPath). Header-only and free of the game's types, so that
// game/ may read it without sound/ knowing the game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velozor {

// How the game plays a file.
enum class PlayedAs {
    SyncOneShot,   // a one-shot the game waits for (SND_SYNC)
    AsyncOneShot,  // a one-shot that plays on while the game goes on (SND_ASYNC)
    Channel,       // opened and played by command string under its channel's alias
    Music,         // the background music, opened and played by its short path
};

// The two sets of approach sounds: placed in stereo on the obstacle's side, and the mono set of
// level 3, where only the timbre tells the lane.
enum class ApproachSet { Stereo, Mono };

// Loudness steps of an approach sound, named by one digit: "0" nearest and loudest up to "6"
// farthest and quietest.
inline constexpr int kNearestApproachStep = 0;
inline constexpr int kFarthestApproachStep = 6;

// Which approach sound a file is.
struct ApproachSound {
    int16_t lane = 0;  // the obstacle's lane: -1 left, 0 centre, 1 right
    ApproachSet set = ApproachSet::Stereo;
    int step = kNearestApproachStep;
};

struct CataloguedSound {
    // Exactly as the game's code writes it after the program folder: backslashed, UTF-8,
    // "\sonidos\motor.wav".
    std::string path;
    PlayedAs playedAs = PlayedAs::SyncOneShot;
    std::string_view alias;                 // Channel only: the alias it is opened under
    std::optional<ApproachSound> approach;  // the approach sounds only
};

// The approach file for an obstacle in `lane` at loudness `step` ("0" to "6"), as the game asks
// for it after the program folder. Folder 1 holds the centre lane, 2 the right and 3 the left;
// any lane other than 0 and 1 is taken as the left.
inline std::string approachPath(int16_t lane, ApproachSet set, std::string_view step) {
    const char folder = lane == 0 ? '1' : lane == 1 ? '2' : '3';
    std::string path = set == ApproachSet::Mono ? "\\sonidos\\obstáculos\\mono\\obstáculo"
                                                : "\\sonidos\\obstáculos\\obstáculo";
    path += folder;
    path += "\\obstacle";
    path += folder;
    path += step;
    path += ".wav";
    return path;
}

// The whole catalogue, 73 files, in a fixed order (the generator makes them in this order): the
// introduction, the music, the engine, the game's course, the lane hints, the driving keys, the
// menu, then the approach sounds by set, lane folder and step.
inline const std::vector<CataloguedSound>& cataloguedSounds() {
    static const std::vector<CataloguedSound> sounds = [] {
        constexpr PlayedAs kSync = PlayedAs::SyncOneShot;
        constexpr PlayedAs kAsync = PlayedAs::AsyncOneShot;
        constexpr PlayedAs kChannel = PlayedAs::Channel;
        std::vector<CataloguedSound> list = {
            {"\\sonidos\\intro\\arch 1.wav", kSync, {}, {}},
            {"\\sonidos\\intro\\arch 2.wav", kSync, {}, {}},
            {"\\sonidos\\intro\\arch 3.wav", kSync, {}, {}},
            {"\\sonidos\\intro\\arch 4.wav", kSync, {}, {}},
            {"\\sonidos\\fondo.mp3", PlayedAs::Music, {}, {}},
            {"\\sonidos\\motor.wav", kChannel, "motor", {}},
            {"\\sonidos\\chocaste.wav", kSync, {}, {}},
            {"\\sonidos\\dosVidas.wav", kChannel, "vidas", {}},
            {"\\sonidos\\unaVida.wav", kChannel, "vidas", {}},
            {"\\sonidos\\despedida.wav", kSync, {}, {}},
            {"\\sonidos\\finestereo.wav", kChannel, "finestereo", {}},
            {"\\sonidos\\nivel2.wav", kSync, {}, {}},
            {"\\sonidos\\nivel3.wav", kSync, {}, {}},
            {"\\sonidos\\finpuntos.wav", kSync, {}, {}},
            {"\\sonidos\\esquivar.wav", kChannel, "esquivar", {}},
            {"\\sonidos\\vieneizquierda.wav", kChannel, "obst", {}},
            {"\\sonidos\\vienecentro.wav", kChannel, "obst", {}},
            {"\\sonidos\\vienederecha.wav", kChannel, "obst", {}},
            {"\\sonidos\\izquierda.wav", kAsync, {}, {}},
            {"\\sonidos\\centro.wav", kAsync, {}, {}},
            {"\\sonidos\\derecha.wav", kAsync, {}, {}},
            {"\\sonidos\\noCarrilIzquierda.wav", kAsync, {}, {}},
            {"\\sonidos\\noCarrilDerecha.wav", kAsync, {}, {}},
            {"\\sonidos\\frenando.wav", kAsync, {}, {}},
            {"\\sonidos\\auto.wav", kChannel, "auto", {}},
            {"\\sonidos\\ayuda.wav", kSync, {}, {}},
            {"\\sonidos\\introd.wav", kAsync, {}, {}},
            {"\\sonidos\\menúOtro.wav", kAsync, {}, {}},
            {"\\sonidos\\menúSalir.wav", kAsync, {}, {}},
            {"\\sonidos\\comenzar.wav", kSync, {}, {}},
            {"\\sonidos\\fin.wav", kSync, {}, {}},
        };
        for (const ApproachSet set : {ApproachSet::Stereo, ApproachSet::Mono}) {
            for (const int16_t lane : {0, 1, -1}) {
                for (int step = kNearestApproachStep; step <= kFarthestApproachStep; ++step) {
                    list.push_back({approachPath(lane, set, std::to_string(step)), kChannel,
                                    "obstáculo", ApproachSound{lane, set, step}});
                }
            }
        }
        return list;
    }();
    return sounds;
}

// The catalogue's entry for `path` (as the game writes it after the program folder), or null
// when the catalogue does not hold it.
inline const CataloguedSound* findCataloguedSound(std::string_view path) {
    for (const CataloguedSound& sound : cataloguedSounds()) {
        if (sound.path == path)
            return &sound;
    }
    return nullptr;
}

// Every catalogued file as the game asks for it: `programFolder` followed by its path.
inline std::vector<std::string> cataloguedGamePaths(const std::string& programFolder) {
    std::vector<std::string> paths;
    paths.reserve(cataloguedSounds().size());
    for (const CataloguedSound& sound : cataloguedSounds())
        paths.push_back(programFolder + sound.path);
    return paths;
}

}  // namespace velozor
