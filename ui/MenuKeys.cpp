// The keys of the spoken menu between games: Up and Down choose an entry and hear its name,
// Enter carries it out, Escape leaves, and any other key repeats the selected entry.
#include "game/GameRules.h"
#include "ui/Form1.h"
#include "ui/WindowEvent.h"

namespace velozor {

namespace {

enum MenuEntry : int16_t { kNoEntry = 0, kAnotherGame = 1, kLeave = 2 };

}  // namespace

void Form1::menuKey(int16_t keyCode) {
    GameState& state = state_;
    const auto announce = [&] {
        if (state.opcionMenu == kAnotherGame) {
            sound_.playOneShot(sound_.programFolder() + "\\sonidos\\menúOtro.wav",
                               OneShotMode::Asynchronous);
        } else if (state.opcionMenu == kLeave) {
            sound_.playOneShot(sound_.programFolder() + "\\sonidos\\menúSalir.wav",
                               OneShotMode::Asynchronous);
        }
    };
    const auto leave = [&] {
        sound_.playOneShot(sound_.programFolder() + "\\sonidos\\fin.wav", OneShotMode::Synchronous);
        host_.unloadWindow();
    };

    switch (keyCode) {
        case vk::Up:
            state.opcionMenu = wrapIncrement(state.opcionMenu);
            if (state.opcionMenu >= 3)
                state.opcionMenu = kAnotherGame;
            announce();
            break;
        case vk::Down:
            state.opcionMenu = wrapIncrement(state.opcionMenu, -1);
            if (state.opcionMenu <= 0)
                state.opcionMenu = kLeave;
            announce();
            break;
        case vk::Enter:
            if (state.opcionMenu == kAnotherGame) {
                resetForNewGame(state);
                // The obstacle left over from the last game arrives first, on tick 12.
                state.llegada = kNewGameFirstArrival;
                sound_.playOneShot(sound_.programFolder() + "\\sonidos\\comenzar.wav",
                                   OneShotMode::Synchronous);
                host_.setTimerEnabled(true);
                state.enMenu = false;
            } else if (state.opcionMenu == kLeave) {
                leave();
            }
            break;
        case vk::Escape:
            leave();
            break;
        default:
            announce();
            break;
    }
}

}  // namespace velozor
