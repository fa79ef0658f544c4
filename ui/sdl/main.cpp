// velozor [--language es|en]: the game. Opens the sound device and the window, then runs Form1
// until the window is unloaded. Exit status 0 after a normal end, 1 when the sound or the window
// cannot start, 2 for a bad command line; SIGTERM ends it at once with 0, SIGINT with 130.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ErrorLine.h"
#include "base/Language.h"
#include "game/RandomGenerator.h"
#include "sound/SoundCatalogue.h"
#include "sound/SoundFolderLocation.h"
#include "sound/SoundFolderRedirect.h"
#include "sound/mixer/OpenMixer.h"
#include "sound/mixer/SoundFileFinder.h"
#include "ui/EndSilencer.h"
#include "ui/EventLoop.h"
#include "ui/Form1.h"
#include "ui/LoopObserver.h"
#include "ui/ProgramOptions.h"
#include "ui/TraceObserver.h"
#include "ui/sdl/LoopPriority.h"
#include "ui/sdl/MessageDialog.h"
#include "ui/sdl/SansFont.h"
#include "ui/sdl/SdlWindow.h"
#include "ui/sdl/SignalWatch.h"
#include "ui/sdl/SteadyClock.h"
#include "ui/sdl/VideoDriverCheck.h"
#include "ui/sdl/X11Window.h"

namespace {

// What the player must hear about: one line on standard error, and a dialog, which a screen
// reader reads aloud.
void showError(const std::string& message) {
    velozor::showMessage(velozor::MessageKind::Error, message);
}
void showWarning(const std::string& message) {
    velozor::showMessage(velozor::MessageKind::Warning, message);
}

int fail(const std::string& message) {
    showError(message);
    SDL_Quit();
    return 1;
}

// The folder that holds the program, without a trailing separator; empty on failure.
std::string programFolder() {
    char* base = SDL_GetBasePath();
    if (base == nullptr)
        return {};
    std::string folder(base);
    SDL_free(base);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

}  // namespace

int main(int argc, char* argv[]) {
    velozor::SteadyClock clock;  // time zero: the program's start
    const velozor::LocaleVariables locale{std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                          std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    std::string badCommandLine;
    const velozor::Language systemLanguage = velozor::chooseLanguage(std::nullopt, locale);
    const std::optional<velozor::ProgramOptions> options =
        velozor::parseProgramOptions(argc, argv, systemLanguage, badCommandLine);
    if (!options) {
        std::fprintf(stderr, "velozor: %s\n%s\n", badCommandLine.c_str(),
                     velozor::programUsage(systemLanguage).c_str());
        return 2;
    }
    const velozor::Language language = velozor::chooseLanguage(options->language, locale);
    velozor::startSignalWatch(language);  // before SDL starts a thread, so none takes a signal
    const bool trace = velozor::traceRequested(language);

    // What needs no window runs on threads of its own while SDL's video starts, which takes tens
    // of milliseconds against the X server: fontconfig's look-up of the credits' font (as long
    // again on a cold cache) and the check of the sound folder's 73 headers.
    const std::string folder = programFolder();
    // The game names its sounds under folder\sonidos; they are played from here.
    const std::string soundFolder = velozor::chooseSoundFolder(
        language, folder,
        velozor::playerDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    std::future<velozor::SansFontLookup> font =
        std::async(std::launch::async, [language] { return velozor::findSansFont(language); });
    const std::vector<std::string> gamePaths = velozor::cataloguedGamePaths(folder);
    std::future<std::vector<velozor::SoundFileProblem>> soundFileProblems =
        std::async(std::launch::async, [&] {
            return velozor::findSoundFileProblems(
                gamePaths,
                [&](const std::string& gamePath) {
                    return velozor::findMixerSoundFile(
                        velozor::soundPathOnDisk(gamePath, folder, soundFolder));
                },
                language);
        });

    // SDL's message box forks on X11, and a child forked while another thread holds a lock (an
    // allocator's, say) may wait for it for ever: the start-up threads end before any message.
    const auto failOnceStartUpWorkEnded = [&](const std::string& message) {
        if (font.valid())
            font.wait();
        if (soundFileProblems.valid())
            soundFileProblems.wait();
        return fail(message);
    };

    velozor::tolerateX11WakeUpsToGoneWindows();
    // Nothing on screen changes during play, so the screen may blank as it likes while the
    // player listens (SDL would otherwise keep it awake).
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    const auto noVideo = [&](const std::string& reason) {
        return failOnceStartUpWorkEnded(velozor::inLanguage(
            language,
            "no se puede iniciar el vídeo de SDL: {} (empieza el juego dentro de una sesión "
            "gráfica)",
            "cannot start SDL's video: {} (start the game inside a graphical session)", {reason}));
    };
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return noVideo(SDL_GetError());
    if (std::string refusal; !velozor::videoDriverReachesPlayer(
            SDL_GetCurrentVideoDriver(), std::getenv("SDL_VIDEODRIVER"), language, refusal)) {
        return noVideo(refusal);
    }
    if (folder.empty()) {
        return failOnceStartUpWorkEnded(
            velozor::inLanguage(language, "no se encuentra la carpeta del programa: {}",
                                "cannot find the program's folder: {}", {SDL_GetError()}));
    }

    if (std::string refusal; !velozor::raiseLoopThreadPriority(refusal)) {
        velozor::writeErrorLine(language, "el juego va con prioridad normal ({})",
                                "the game runs at normal priority ({})", {refusal});
    }

    int status = 0;
    {
        std::string error;
        // The back end starts SDL's audio itself, and words its failure.
        std::unique_ptr<velozor::MixerPlatform> mixer =
            velozor::openMixerPlatform(error, language, showError);
        if (!mixer)
            return failOnceStartUpWorkEnded(error);
        velozor::SoundFolderRedirect platform(*mixer, folder, soundFolder);
        std::unique_ptr<velozor::SdlWindow> window =
            velozor::SdlWindow::open(clock, font.get(), language, error);
        if (!window) {
            mixer.reset();  // the sound device closes before fail() shuts SDL down
            return failOnceStartUpWorkEnded(error);
        }
        velozor::EndSilencer silencer([&mixer] { mixer->silence(); });

        velozor::reportSoundFileProblems(soundFolder, gamePaths.size(), soundFileProblems.get(),
                                         showWarning, language);

        velozor::LoopObserver silent;
        velozor::TraceObserver tracer(clock);
        velozor::RandomGenerator random(clock);
        velozor::EventLoop loop(clock, *window, trace ? tracer : silent);
        velozor::Form1 form(loop, platform, random, folder, language);
        status = loop.run(form);
    }
    SDL_Quit();
    return status;
}
