// The obstacle scheduler.
#include "game/ObstacleScheduler.h"

#include <cfenv>
#include <cmath>
#include <iterator>

#include "base/Assert.h"

#include "sound/SoundCatalogue.h"

namespace velozor {

namespace {

// Distances at which the approach sound plays: the obstacle's last eight ticks.
constexpr int kAudibleDistance = 7;
// Level 1 names the obstacle's lane this many ticks before it arrives.
constexpr int kHintDistance = 4;

void spawn(GameContext& game) {
    GameState& state = game.state;
    SoundServices& sound = game.sound;
    state.obstaculosNivel = wrapIncrement(state.obstaculosNivel);
    if (state.obstaculoVivo) {
        // The obstacle that has just gone by was dodged: reward it.
        state.sonido = sound.programFolder() + "\\sonidos\\esquivar.wav";
        sound.cycleChannel("esquivar", state.sonido, ChannelResult::Discard);
    }
    state.obstaculoVivo = true;
    state.cuentaObstaculos = wrapIncrement(state.cuentaObstaculos);
    if (isOdd(state.cuentaObstaculos)) {
        // Every other obstacle comes straight at the player, wherever the player drives.
        state.carrilObstaculo = state.carril;
    } else {
        game.random.randomize();
        state.carrilObstaculo = randomLane(game.random.rnd());
    }
    VELOZOR_ASSERT(state.carrilObstaculo >= -1 && state.carrilObstaculo <= 1,
                   "an obstacle's lane is -1, 0 or 1: keep carril within -1..1 where the keys "
                   "move it, and give randomLane a draw from RandomSource::rnd");
    state.llegada = wrapIncrement(state.paso, arrivalDelay(game.random.rnd()));
}

// The approach file for the obstacle's lane, the level's sound set and the loudness step.
std::string approachFile(const GameContext& game) {
    const GameState& state = game.state;
    const ApproachSet set = state.nivel == 3 ? ApproachSet::Mono : ApproachSet::Stereo;
    return game.sound.programFolder() + approachPath(state.carrilObstaculo, set, state.pasoVolumen);
}

const char* hintFile(int16_t lane) {
    if (lane < 0)
        return "\\vieneizquierda.wav";
    return lane == 0 ? "\\vienecentro.wav" : "\\vienederecha.wav";
}

}  // namespace

int16_t arrivalDelay(float u) {
    static constexpr int16_t kDelayByDraw[] = {14, 12, 15, 11, 13};
    // 4u is exact in single precision; nearbyint rounds exact halves to the even neighbour.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const auto draw = static_cast<int>(std::nearbyint(4.0f * u));
    std::fesetround(saved);
    VELOZOR_ASSERT(draw >= 0 && draw < static_cast<int>(std::size(kDelayByDraw)),
                   "arrivalDelay takes a draw 0 <= u < 1, as RandomSource::rnd gives it; "
                   "scale any other number into that range first");
    return kDelayByDraw[draw];
}

int16_t randomLane(float u) {
    const auto lane = static_cast<int16_t>(std::floor(3.0f * u - 1.0f));
    VELOZOR_ASSERT(lane >= -1 && lane <= 1,
                   "randomLane takes a draw 0 <= u < 1, as RandomSource::rnd gives it; "
                   "scale any other number into that range first");
    return lane;
}

void volumen(GameState& state) {
    const int16_t distance = wrapIncrement(state.llegada, -state.paso);
    if (distance >= 1 && distance <= kAudibleDistance) {
        state.pasoVolumen = std::string(1, static_cast<char>('0' + distance - 1));
    }
}

void obstaculos(GameContext& game) {
    GameState& state = game.state;
    if (state.llegada < state.paso)
        spawn(game);

    const int16_t distance = wrapIncrement(state.llegada, -state.paso);
    if (distance <= kAudibleDistance) {
        volumen(state);
        state.rutaObstaculo = approachFile(game);
        game.sound.cycleChannel("obstáculo", state.rutaObstaculo, ChannelResult::Discard);
    }
    if (distance == kHintDistance && state.nivel == 1) {
        state.sonido = game.sound.soundRoot() + hintFile(state.carrilObstaculo);
        game.sound.cycleChannel("obst", state.sonido, ChannelResult::Discard);
    }
}

}  // namespace velozor
