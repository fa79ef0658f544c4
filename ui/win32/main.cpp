// velozor.exe [--language es|en]: the game on Windows. Opens the sound library and the window,
// checks the sound folder, then runs Form1 until the window is unloaded. Exit status 0 after a
// normal end, 1 when the sound or the window cannot start, 2 for a bad command line; each
// failure is shown in a message box, which a screen reader reads. The session's end ends it at
// once with 0, Ctrl+C in a console with 130.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "base/ErrorLine.h"
#include "base/Language.h"
#include "game/RandomGenerator.h"
#include "sound/SoundCatalogue.h"
#include "sound/SoundFolderCheck.h"
#include "sound/SoundFolderLocation.h"
#include "sound/SoundFolderRedirect.h"
#include "sound/winmm/WideText.h"
#include "sound/winmm/WindowsSoundFile.h"
#include "sound/winmm/WinmmPlatform.h"
#include "ui/EndSilencer.h"
#include "ui/EventLoop.h"
#include "ui/Form1.h"
#include "ui/LoopObserver.h"
#include "ui/ProgramOptions.h"
#include "ui/TraceObserver.h"
#include "ui/win32/QpcClock.h"
#include "ui/win32/SessionEndWatch.h"
#include "ui/win32/Win32Window.h"

namespace {

int fail(const std::string& message, int status = 1) {
    velozor::writeErrorLine(message);
    MessageBoxW(nullptr, velozor::wideFromUtf8(message).c_str(), L"Velozor", MB_OK | MB_ICONERROR);
    return status;
}

// The program's full path in UTF-8; empty on failure.
std::wstring programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // a long path: try again with room for it
    }
}

// The folder part of `path`, without a trailing separator except at a drive's root.
std::wstring folderOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return {};
    if (separator == 2 && path[1] == L':')
        return path.substr(0, 3);
    return path.substr(0, separator);
}

// Standard error, when the program was started with one (from a console or a shell);
// a program started from Explorer has none.
bool hasStandardError() {
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// VELOZOR_TRACE=1: the loop's events go to standard error, or without one to the file
// velozor-trace.txt beside the program. Returns the stream, or nullptr for no trace; a file that
// cannot be written is said in `language`.
std::FILE* traceStream(const std::wstring& folder, velozor::Language language) {
    if (!velozor::traceRequested(language))
        return nullptr;
    if (hasStandardError())
        return stderr;
    const std::wstring path = folder + L"\\velozor-trace.txt";
    std::FILE* file = _wfopen(path.c_str(), L"w");
    if (file == nullptr) {
        fail(velozor::inLanguage(language,
                                 "no se puede escribir el archivo de traza {} (la carpeta es de "
                                 "solo lectura: empieza el juego desde una consola para trazar "
                                 "en ella)",
                                 "cannot write the trace file {} (the folder is read-only: start "
                                 "the game from a command prompt to trace to it)",
                                 {velozor::utf8FromWide(path)}));
    }
    return file;
}

}  // namespace

int main(int argc, char* argv[]) {
    velozor::QpcClock clock;  // time zero: the program's start
    std::string badCommandLine;
    const velozor::Language systemLanguage =
        velozor::chooseLanguage(std::nullopt, GetUserDefaultUILanguage());
    const std::optional<velozor::ProgramOptions> options =
        velozor::parseProgramOptions(argc, argv, systemLanguage, badCommandLine);
    if (!options)
        return fail(badCommandLine + "\n" + velozor::programUsage(systemLanguage), 2);
    const velozor::Language language =
        velozor::chooseLanguage(options->language, GetUserDefaultUILanguage());
    const std::wstring folder = folderOf(programPath());
    if (folder.empty()) {
        return fail(velozor::inLanguage(language, "no se encuentra la carpeta del programa: {}",
                                        "cannot find the program's folder: {}",
                                        {velozor::systemErrorText(GetLastError())}));
    }
    std::FILE* trace = traceStream(folder, language);

    int status = 0;
    {
        std::string error;
        std::unique_ptr<velozor::WinmmPlatform> platform =
            velozor::WinmmPlatform::open(error, language);
        if (!platform)
            return fail(error);
        std::unique_ptr<velozor::Win32Window> window =
            velozor::Win32Window::open(clock, language, error);
        if (!window)
            return fail(error);
        // Its window is made once the game's exists: two threads making the process's first
        // windows at once can both fail under Wine while its desktop starts.
        velozor::startSessionEndWatch(language);
        velozor::EndSilencer silencer([&platform] { platform->silence(); });

        // The game names its sounds under programFolder\sonidos; they are played from here.
        const std::string programFolder = velozor::utf8FromWide(folder);
        const std::string soundFolder = programFolder + "\\" + velozor::soundFolderName(language);
        velozor::SoundFolderRedirect redirect(*platform, programFolder, soundFolder);
        velozor::checkSoundFolder(
            soundFolder, velozor::cataloguedGamePaths(programFolder),
            [&](const std::string& gamePath) {
                return velozor::findWindowsSoundFile(
                    velozor::soundPathOnDisk(gamePath, programFolder, soundFolder));
            },
            [](const std::string& message) {
                MessageBoxW(nullptr, velozor::wideFromUtf8(message).c_str(), L"Velozor",
                            MB_OK | MB_ICONWARNING);
            },
            language);

        velozor::LoopObserver silent;
        velozor::TraceObserver tracer(clock, trace != nullptr ? trace : stderr);
        velozor::RandomGenerator random(clock);
        velozor::EventLoop loop(clock, *window, trace != nullptr ? tracer : silent);
        velozor::Form1 form(loop, redirect, random, programFolder, language);
        status = loop.run(form);
    }
    if (trace != nullptr && trace != stderr)
        std::fclose(trace);
    return status;
}
