// velozor in a web page: the functions the page calls, which run the desktop's Form1 and event
// loop on the page's window and Web Audio back end. There is no main(): the page starts a game
// when the player presses its button (browsers start sound only after a gesture).
#include <emscripten.h>

#include <iostream>
#include <optional>
#include <string>

#include "base/Language.h"
#include "game/RandomGenerator.h"
#include "sound/SoundCatalogue.h"
#include "sound/SoundFolderLocation.h"
#include "sound/web/PageAudio.h"
#include "sound/web/WebPlatform.h"
#include "sound/web/WebSoundFolderCheck.h"
#include "tools/sim/TraceWriter.h"
#include "tools/sim/TracingRandom.h"
#include "ui/EventLoop.h"
#include "ui/Form1.h"
#include "ui/web/PageClock.h"
#include "ui/web/PageWindow.h"
#include "ui/web/TracingPlatform.h"

EM_JS(void, velozor_page_announce, (const char* text),
      { Module.velozorPage.announceGameMessage(UTF8ToString(text)); });

namespace {

// What the game's paths start with; the back end maps "<this>\sonidos\..." into the page's
// sound folder.
const std::string kProgramFolder = ".";

velozor::WebSoundFolder soundFolder;
velozor::Language language = velozor::Language::Spanish;
velozor::PageAudio audio;
velozor::PageWindow* runningWindow = nullptr;

void announce(const std::string& message) {
    velozor_page_announce(message.c_str());
}

// Keeps a returned string alive until the next call that returns one.
const char* returned(std::string text) {
    static std::string kept;
    kept = std::move(text);
    return kept.c_str();
}

// One game, from Form_Load until the window is unloaded. With `trace`, every event and sound
// call goes to standard output (the browser's console) as the simulator's trace lines.
int runGame(bool trace) {
    velozor::PageClock clock;
    velozor::PageWindow window(clock);
    velozor::WebPlatform platform(audio, clock, kProgramFolder, soundFolder, language, announce);
    velozor::RandomGenerator generator(clock);

    velozor::LoopObserver silent;
    std::optional<velozor::sim::TraceWriter> writer;
    std::optional<velozor::TracingPlatform> tracedPlatform;
    std::optional<velozor::sim::TracingRandom> tracedRandom;
    if (trace) {
        writer.emplace(std::cout, clock);
        tracedPlatform.emplace(platform, clock, [&writer](const velozor::PlatformCall& call) {
            writer->platformCall(call);
        });
        tracedRandom.emplace(generator, *writer);
    }
    velozor::SoundPlatform& sound =
        trace ? static_cast<velozor::SoundPlatform&>(*tracedPlatform) : platform;
    velozor::RandomSource& random =
        trace ? static_cast<velozor::RandomSource&>(*tracedRandom) : generator;
    velozor::LoopObserver& observer = trace ? static_cast<velozor::LoopObserver&>(*writer) : silent;

    velozor::EventLoop loop(clock, window, observer);
    velozor::Form1 form(loop, sound, random, kProgramFolder, language);
    runningWindow = &window;
    const int status = loop.run(form);
    runningWindow = nullptr;
    return status;
}

}  // namespace

extern "C" {

// The player's language ("es" or "en"; anything else is Spanish, the game's own), which
// chooses the sound folder beside the page (sonidos or sounds), and the extension its wave files
// are stored with; called once, before anything else.
EMSCRIPTEN_KEEPALIVE void velozor_configure(const char* languageCode, const char* waveExtension) {
    language = velozor::languageOfCode(languageCode).value_or(velozor::Language::Spanish);
    soundFolder = {velozor::soundFolderName(language), waveExtension};
}

// The URL of every file the game can ask for, one a line, the introduction's first: the order
// in which the page fetches them.
EMSCRIPTEN_KEEPALIVE const char* velozor_sound_urls() {
    std::string lines;
    for (const std::string& url : velozor::catalogueUrls(kProgramFolder, soundFolder))
        lines += url + "\n";
    return returned(lines);
}

// The credits in the player's language, as the window's label shows them: lines separated by a
// carriage return.
EMSCRIPTEN_KEEPALIVE const char* velozor_credits() {
    return returned(velozor::Form1::creditsText(language));
}

// Runs a game until its window unloads; returns the exit status (0). The page calls it with
// ccall's {async: true}: the game pauses inside it while the page goes on.
EMSCRIPTEN_KEEPALIVE int velozor_start(int trace) {
    return runGame(trace != 0);
}

// A key-down for the running game, as a Windows virtual-key code with the shift state (Shift 1,
// Ctrl 2, Alt 4). Returns 1 when a game took it, 0 when none runs. The page then calls
// velozorWake() so that the game handles it at once.
EMSCRIPTEN_KEEPALIVE int velozor_key_down(int keyCode, int shift) {
    if (runningWindow == nullptr)
        return 0;
    runningWindow->keyDown(static_cast<int16_t>(keyCode), static_cast<int16_t>(shift));
    return 1;
}

// Once every file has loaded or failed: names the missing and damaged files on standard error
// and in one message to the player, as the desktop's box does. Returns how many there are.
EMSCRIPTEN_KEEPALIVE int velozor_check_sound_folder() {
    const auto problems =
        velozor::webSoundFileProblems(audio, kProgramFolder, soundFolder, language);
    return static_cast<int>(velozor::reportSoundFileProblems(
        soundFolder.url, velozor::cataloguedSounds().size(), problems, announce, language));
}

}  // extern "C"
