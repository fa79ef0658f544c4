// The game's tick: the one place where crashes, lives, levels and the end of a game are
// decided. Every sound it plays goes on in the background unless it pauses the game.
#include "game/GameTick.h"

#include "game/GameRules.h"
#include "game/ObstacleScheduler.h"

namespace velozor {

namespace {

void startMusicIfSilent(GameContext& game) {
    if (game.state.musicaSonando)
        return;
    game.sound.startMusic();
    // Marked as started even when it failed: a missing file is reported once, not every tick.
    game.state.musicaSonando = true;
}

// The engine sound is restarted every kEngineLoopTicks ticks of the program's life, whatever the
// game does.
void runEngineLoop(GameContext& game) {
    GameState& state = game.state;
    state.pasoMotor = wrapIncrement(state.pasoMotor);
    if (state.pasoMotor == 1) {
        state.sonido = game.sound.programFolder() + "\\sonidos\\motor.wav";
        game.sound.cycleChannel("motor", state.sonido);
    }
    if (state.pasoMotor == kEngineLoopTicks)
        state.pasoMotor = 0;
}

enum class TickOutcome { GoesOn, GameOver };

// A crash: the game pauses for the crash cue, counts it and says how many lives are left.
TickOutcome crash(GameContext& game) {
    GameState& state = game.state;
    SoundServices& sound = game.sound;
    game.timer1.setTimerEnabled(false);
    state.sonido = sound.programFolder() + "\\sonidos\\chocaste.wav";
    sound.playOneShot(state.sonido, OneShotMode::Synchronous);
    state.choques = wrapIncrement(state.choques);
    if (state.choques == 1 || state.choques == 2) {
        state.sonido = state.choques == 1 ? "\\dosVidas.wav" : "\\unaVida.wav";
        state.sonido = sound.soundRoot() + state.sonido;
        sound.cycleChannel("vidas", state.sonido);
    } else if (state.choques == kCrashesPerGame) {
        sound.closeChannel("vidas");
    }
    state.obstaculoVivo = false;
    if (state.choques != kCrashesPerGame) {
        game.timer1.setTimerEnabled(true);
        return TickOutcome::GoesOn;
    }
    sound.playOneShot(sound.programFolder() + "\\sonidos\\despedida.wav", OneShotMode::Synchronous);
    enterMenu(game);
    return TickOutcome::GameOver;
}

void giveEndOfLevelCue(GameContext& game) {
    GameState& state = game.state;
    if (state.obstaculosNivel != kEndOfLevelCueObstacles || state.avisoFinEstereo)
        return;
    state.sonido = game.sound.programFolder() + "\\sonidos\\finestereo.wav";
    // No close first: every stopAllSound closes this channel, and it opens at most once between.
    game.sound.cycleChannelWithoutClose("finestereo", state.sonido);
    state.avisoFinEstereo = true;
}

TickOutcome changeLevel(GameContext& game) {
    GameState& state = game.state;
    SoundServices& sound = game.sound;
    if (state.obstaculosNivel != kObstaclesPerLevel)
        return TickOutcome::GoesOn;
    state.nivel = wrapIncrement(state.nivel);
    if (state.nivel == 2 || state.nivel == 3) {
        game.timer1.setTimerEnabled(false);
        state.obstaculosNivel = 0;
        sound.stopAllSound(StopAllVariant::Plain);
        state.sonido = sound.programFolder() +
                       (state.nivel == 2 ? "\\sonidos\\nivel2.wav" : "\\sonidos\\nivel3.wav");
        sound.playOneShot(state.sonido, OneShotMode::Synchronous);
        state.musicaSonando = false;
        state.avisoFinEstereo = false;
        game.timer1.setTimerEnabled(true);
    }
    if (state.nivel != kCompletedLevel)
        return TickOutcome::GoesOn;
    // The completion cue plays over everything still running, then the menu opens.
    state.sonido = sound.programFolder() + "\\sonidos\\finpuntos.wav";
    sound.playOneShot(state.sonido, OneShotMode::Synchronous);
    enterMenu(game);
    return TickOutcome::GameOver;
}

}  // namespace

void enterMenu(GameContext& game) {
    GameState& state = game.state;
    game.timer1.setTimerEnabled(false);
    game.sound.stopAllSound(StopAllVariant::Plain);
    state.musicaSonando = false;
    state.enMenu = true;
    game.sound.playOneShot(game.sound.programFolder() + "\\sonidos\\introd.wav",
                           OneShotMode::Asynchronous);
}

void Timer1_Timer(GameContext& game) {
    GameState& state = game.state;
    startMusicIfSilent(game);
    runEngineLoop(game);
    state.paso = wrapIncrement(state.paso);
    if (state.carril == state.carrilObstaculo && state.paso == state.llegada) {
        if (crash(game) == TickOutcome::GameOver)
            return;
    }
    giveEndOfLevelCue(game);
    if (changeLevel(game) == TickOutcome::GameOver)
        return;
    obstaculos(game);
}

}  // namespace velozor
