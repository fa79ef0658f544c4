// Form1's load, paint and unload handlers, and the dispatch of keys and ticks.
#include "ui/Form1.h"

#include <utility>

#include "game/GameTick.h"

namespace velozor {

Form1::Form1(FormHost& host, SoundPlatform& platform, RandomSource& random,
             std::string programFolder, Language language)
    : host_(host),
      language_(language),
      sound_(platform, soundResultsOf(state_), std::move(programFolder)),
      game_{state_, sound_, host, random} {}

std::string Form1::creditsText(Language language) {
    const std::string cr(1, '\r');
    if (language == Language::English) {
        return "Made by:" + cr + "Programming: the Velozor team" + cr +
               "Sound: our voices and effects" + cr + "Testing: blind players" + cr + cr +
               "Free game";
    }
    return "Realizado por:" + cr + "Programación: equipo Velozor" + cr +
           "Sonido: voces y efectos propios" + cr + "Pruebas: jugadores ciegos" + cr + cr +
           "Juego gratuito";
}

void Form1::Form_Load() {
    host_.setCredits(creditsText(language_));
    host_.showWindow();
    resetForNewGame(state_);
    for (int16_t part = 1; part <= 4; ++part) {
        // The number keeps the blank where its sign would stand: "arch 1.wav".
        state_.sonido =
            sound_.programFolder() + "\\sonidos\\intro\\arch " + std::to_string(part) + ".wav";
        sound_.playOneShot(state_.sonido, OneShotMode::Synchronous);
    }
}

void Form1::Form_Paint() {
    host_.focusWindow();
}

void Form1::Form_KeyDown(int16_t& keyCode, int16_t /*shift*/) {
    if (state_.enMenu) {
        menuKey(keyCode);
    } else {
        drivingKey(keyCode);
    }
}

void Form1::Form_Unload(int16_t& /*cancel*/) {
    sound_.stopAllSound(StopAllVariant::Unload);
}

void Form1::Timer1_Timer() {
    velozor::Timer1_Timer(game_);
}

}  // namespace velozor
