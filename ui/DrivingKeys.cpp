// The keys while a game is being driven: steering, the car's horn, the brake, the help text
// and leaving for the menu. Every key is answered with sound; any other key does nothing.
#include "ui/Form1.h"

#include "game/GameTick.h"
#include "ui/WindowEvent.h"

namespace velozor {

namespace {

const char* laneCue(int16_t lane) {
    if (lane < 0)
        return "\\izquierda.wav";
    return lane == 0 ? "\\centro.wav" : "\\derecha.wav";
}

}  // namespace

void Form1::drivingKey(int16_t keyCode) {
    GameState& state = state_;
    switch (keyCode) {
        case vk::Left:
        case vk::Right: {
            const bool left = keyCode == vk::Left;
            state.carril = wrapIncrement(state.carril, left ? -1 : 1);
            if (left && state.carril < -1) {
                state.carril = -1;
                state.sonido = "\\noCarrilIzquierda.wav";
            } else if (!left && state.carril > 1) {
                state.carril = 1;
                state.sonido = "\\noCarrilDerecha.wav";
            } else {
                state.sonido = laneCue(state.carril);
            }
            sound_.playOneShot(sound_.soundRoot() + state.sonido, OneShotMode::Asynchronous);
            break;
        }
        case vk::Up:
            state.sonidoAux = sound_.programFolder() + "\\sonidos\\auto.wav";
            sound_.cycleChannel("auto", state.sonidoAux);
            break;
        case vk::Down:
            state.sonido = "\\frenando.wav";
            sound_.playOneShot(sound_.soundRoot() + state.sonido, OneShotMode::Asynchronous);
            break;
        case vk::Escape:
            // The end cue plays over the running sounds; then silence and the menu.
            sound_.playOneShot(sound_.programFolder() + "\\sonidos\\fin.wav",
                               OneShotMode::Synchronous);
            enterMenu(game_);
            break;
        case vk::F1:
            // A pause: the help text is heard alone, and play resumes a full tick after it.
            host_.setTimerEnabled(false);
            sound_.stopAllSound(StopAllVariant::Plain);
            state.sonidoAux = sound_.programFolder() + "\\sonidos\\ayuda.wav";
            sound_.playOneShot(state.sonidoAux, OneShotMode::Synchronous);
            state.musicaSonando = false;
            host_.setTimerEnabled(true);
            break;
        default:
            break;
    }
}

}  // namespace velozor
