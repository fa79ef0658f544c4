// The game's one window: its handlers, the record of the game's variables and the sound
// services they play through. The event loop calls the handlers one at a time, each to its end.
#pragma once

#include <cstdint>
#include <string>

#include "base/Language.h"
#include "game/GameContext.h"
#include "game/GameState.h"
#include "game/RandomSource.h"
#include "sound/SoundPlatform.h"
#include "sound/SoundServices.h"
#include "ui/FormHost.h"

namespace velozor {

class Form1 {
public:
    // `programFolder`: the folder holding the program, native, without a trailing separator.
    // `language`: the credits' (the sounds' is the sound folder's).
    Form1(FormHost& host, SoundPlatform& platform, RandomSource& random, std::string programFolder,
          Language language = Language::Spanish);

    void Form_Load();
    void Form_Paint();
    // `keyCode` is a Windows virtual-key code; `shift` (Shift, Ctrl, Alt) is ignored.
    void Form_KeyDown(int16_t& keyCode, int16_t shift);
    // `cancel` is never set: an unload always goes through.
    void Form_Unload(int16_t& cancel);
    void Timer1_Timer();

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }

    // The label's text: five carriage returns (character 13 alone) separate its lines.
    static std::string creditsText(Language language = Language::Spanish);

private:
    void drivingKey(int16_t keyCode);
    void menuKey(int16_t keyCode);

    FormHost& host_;
    Language language_;
    GameState state_;
    SoundServices sound_;
    GameContext game_;
};

}  // namespace velozor
