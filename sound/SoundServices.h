// The game's sound services: where the sound files are, short paths, the named channels,
// one-shot sounds, the background music and the sequence that silences everything. They keep
// no state of their own beyond the three results they leave in SoundResults.
#pragma once

#include <string>
#include <string_view>

#include "sound/SoundPlatform.h"
#include "sound/SoundResults.h"

namespace velozor {

enum class OneShotMode : uint32_t { Synchronous = SND_SYNC, Asynchronous = SND_ASYNC };

enum class StopAllVariant {
    Plain,   // pauses and ends of games
    Unload,  // the window's unload: also closes "finestereo" by name
};

// Whether a channel cycle keeps its commands' results in resMci; the obstacle scheduler's
// cycles drop theirs.
enum class ChannelResult { Keep, Discard };

class SoundServices {
public:
    // `programFolder` is the folder holding the program, native and without trailing separator.
    SoundServices(SoundPlatform& platform, SoundResults results, std::string programFolder);

    const std::string& programFolder() const { return programFolder_; }
    // The program folder followed by "\sonidos"; built anew at every call.
    std::string soundRoot() const;

    // Leaves the short form of `path` in rutaCorta (empty when the file does not exist) and
    // the short-path call's result in resMci. Takes its own copy of the path.
    void acortarRuta(std::string path);

    // Channels are named by the game's aliases ("motor", "vidas", "obstáculo", ...: those that
    // stopAllSound closes); any other alias is a programmer's mistake and fails an assertion.

    // One cycle of a channel: "CLOSE alias", acortarRuta, "OPEN <rutaCorta> TYPE waveaudio
    // ALIAS alias", "PLAY alias". Restarts the channel on `path` from its beginning.
    void cycleChannel(std::string_view alias, const std::string& path,
                      ChannelResult result = ChannelResult::Keep);
    // The same cycle without its close step (the "finestereo" cue).
    void cycleChannelWithoutClose(std::string_view alias, const std::string& path);
    // A bare "CLOSE alias", result to resMci.
    void closeChannel(std::string_view alias);

    // Plays `path` as the one-shot sound; the result goes to resSonido.
    void playOneShot(const std::string& path, OneShotMode mode);
    // Stops the one-shot sound; the result goes to resSonido.
    void stopOneShot();

    // Opens and plays "\sonidos\fondo.mp3" once, by its short path, through mciExecute.
    void startMusic();

    // Stops the one-shot, closes every channel in a fixed order and sends "Close all".
    void stopAllSound(StopAllVariant variant);

private:
    void openAndPlay(std::string_view alias, ChannelResult result);
    void sendCommand(const std::string& command, ChannelResult result);

    SoundPlatform& platform_;
    SoundResults results_;
    std::string programFolder_;
};

}  // namespace velozor
