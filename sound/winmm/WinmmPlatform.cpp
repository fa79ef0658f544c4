// The winmm back end: run-time binding of the system calls and their wide-text wrappers.
#include "sound/winmm/WinmmPlatform.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "base/ErrorLine.h"
#include "sound/MciCommand.h"
#include "sound/SoundFolderCheck.h"
#include "sound/winmm/WideText.h"
#include "sound/winmm/WindowsSoundFile.h"

namespace velozor {

namespace {

using SndPlaySoundW = BOOL(WINAPI*)(LPCWSTR, UINT);
using MciSendStringW = DWORD(WINAPI*)(LPCWSTR, LPWSTR, UINT, HANDLE);
using MciGetErrorStringW = BOOL(WINAPI*)(DWORD, LPWSTR, UINT);
using WaveOutGetNumDevs = UINT(WINAPI*)();
using GetShortPathNameW = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

// GetProcAddress returns a generic pointer; each entry is cast to its own signature.
template <typename Function>
Function entry(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool needsQuotes(const std::string& part) {
    return part.find(' ') != std::string::npos && part.find('"') == std::string::npos;
}

// A PLAY or CLOSE names a device by path (the music) or by alias; only a path is quoted, so
// that "PLAY motor WAIT" keeps its flag.
bool isPath(const std::string& target) {
    return target.find('\\') != std::string::npos;
}

// The sound the system plays where a one-shot's file is missing: the alias of the "Default
// Beep" event, which sndPlaySound looks up before any file of that name.
constexpr wchar_t kDefaultSoundAlias[] = L"SystemDefault";

}  // namespace

struct WinmmPlatform::Entries {
    HMODULE winmm = nullptr;
    SndPlaySoundW sndPlaySound = nullptr;
    MciSendStringW mciSendString = nullptr;
    MciGetErrorStringW mciGetErrorString = nullptr;
    GetShortPathNameW getShortPathName = nullptr;
};

std::string quotedMciCommand(const std::string& command, const std::optional<MciCommand>& parsed) {
    if (!parsed || !needsQuotes(parsed->target))
        return command;
    if (parsed->verb != MciCommand::Verb::Open && !isPath(parsed->target))
        return command;
    switch (parsed->verb) {
        case MciCommand::Verb::Open: {
            std::string quoted = "OPEN \"" + parsed->target + "\"";
            if (!parsed->type.empty())
                quoted += " TYPE " + parsed->type;
            if (!parsed->alias.empty())
                quoted += " ALIAS " + parsed->alias;
            return quoted;
        }
        case MciCommand::Verb::Play:
            return "PLAY \"" + parsed->target + "\"";
        case MciCommand::Verb::Close:
            return "CLOSE \"" + parsed->target + "\"";
        case MciCommand::Verb::CloseAll:
            break;
    }
    return command;
}

std::unique_ptr<WinmmPlatform> WinmmPlatform::open(std::string& error, Language language,
                                                   ErrorBox showError) {
    auto entries = std::make_unique<Entries>();
    // kernel32 is in every process; GetShortPathNameW has been in it since Windows NT.
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    entries->getShortPathName =
        kernel32 ? entry<GetShortPathNameW>(kernel32, "GetShortPathNameW") : nullptr;
    if (entries->getShortPathName == nullptr) {
        error = inLanguage(language,
                           "no se encuentra GetShortPathNameW en kernel32.dll: {} (este Windows "
                           "es demasiado antiguo para el juego)",
                           "cannot find GetShortPathNameW in kernel32.dll: {} (this Windows is "
                           "too old for the game)",
                           {systemErrorText(GetLastError())});
        return nullptr;
    }

    entries->winmm = LoadLibraryW(L"winmm.dll");
    if (entries->winmm == nullptr) {
        error = inLanguage(language,
                           "no se puede cargar la biblioteca multimedia de Windows winmm.dll: {} "
                           "(el juego necesita las funciones multimedia de Windows; instálalas "
                           "o actívalas)",
                           "cannot load the Windows multimedia library winmm.dll: {} (the game "
                           "needs Windows' media features; install or enable them)",
                           {systemErrorText(GetLastError())});
        return nullptr;
    }
    entries->sndPlaySound = entry<SndPlaySoundW>(entries->winmm, "sndPlaySoundW");
    entries->mciSendString = entry<MciSendStringW>(entries->winmm, "mciSendStringW");
    entries->mciGetErrorString = entry<MciGetErrorStringW>(entries->winmm, "mciGetErrorStringW");
    const auto waveOutGetNumDevs = entry<WaveOutGetNumDevs>(entries->winmm, "waveOutGetNumDevs");
    if (!entries->sndPlaySound || !entries->mciSendString || !entries->mciGetErrorString ||
        !waveOutGetNumDevs) {
        error = inLanguage(language,
                           "a winmm.dll le falta sndPlaySoundW, mciSendStringW, "
                           "mciGetErrorStringW o waveOutGetNumDevs (la biblioteca multimedia "
                           "está dañada; repara Windows)",
                           "winmm.dll lacks sndPlaySoundW, mciSendStringW, mciGetErrorStringW "
                           "or waveOutGetNumDevs (the multimedia library is damaged; repair "
                           "Windows)");
        FreeLibrary(entries->winmm);
        return nullptr;
    }
    if (waveOutGetNumDevs() == 0) {
        error = inLanguage(language,
                           "no hay ninguna salida de sonido (conecta o activa unos altavoces o "
                           "unos auriculares y vuelve a empezar el juego)",
                           "no sound output device is available (connect or enable speakers or "
                           "headphones, then start the game again)");
        FreeLibrary(entries->winmm);
        return nullptr;
    }
    if (!showError) {
        const std::wstring caption =
            wideFromUtf8(inLanguage(language, "Velozor: error de sonido", "Velozor: sound error"));
        showError = [caption](const std::string& message) {
            // Owned by the game's window, so the box keeps it disabled while it is open and
            // hands the keyboard back to it when the player closes it.
            MessageBoxW(GetActiveWindow(), wideFromUtf8(message).c_str(), caption.c_str(),
                        MB_OK | MB_ICONERROR);
        };
    }
    return std::unique_ptr<WinmmPlatform>(
        new WinmmPlatform(std::move(entries), language, std::move(showError)));
}

WinmmPlatform::WinmmPlatform(std::unique_ptr<Entries> entries, Language language,
                             ErrorBox showError)
    : entries_(std::move(entries)),
      showError_(std::move(showError)),
      warnings_(language),
      musicBoxes_(language) {}

WinmmPlatform::~WinmmPlatform() {
    // The game has closed every device ("Close all") before its window went away.
    FreeLibrary(entries_->winmm);
}

bool WinmmPlatform::holdsNoSound(const std::string& path) {
    const SoundFileOnDisk found = findWindowsSoundFile(path);
    if (found.kind != SoundFileOnDisk::Kind::RegularFile)
        return false;  // missing ones, and folders, are the system's to refuse
    const SoundFileHeader header = readSoundFileHeader(found, warnings_.language());
    if (header.playable())
        return false;
    warnings_.warnOnce(path, soundFileProblemLine(path, header.problem, warnings_.language()));
    return true;
}

int32_t WinmmPlatform::sndPlaySoundA(const char* soundName, uint32_t flags) {
    if (soundName == nullptr)
        return entries_->sndPlaySound(nullptr, flags);
    if (holdsNoSound(soundName)) {
        // Left to the system, a wave with no frames would play silence and report success.
        entries_->sndPlaySound(kDefaultSoundAlias, flags);
        return 0;
    }
    return entries_->sndPlaySound(wideFromUtf8(soundName).c_str(), flags);
}

uint32_t WinmmPlatform::mciSendStringA(const char* command, char* returnString,
                                       uint32_t returnLength, uintptr_t callbackWindow) {
    if (command == nullptr)
        return MCIERR_MISSING_PARAMETER;
    return send(command, parseMciCommand(command), returnString, returnLength, callbackWindow);
}

uint32_t WinmmPlatform::send(const char* command, const std::optional<MciCommand>& parsed,
                             char* returnString, uint32_t returnLength, uintptr_t callbackWindow) {
    if (parsed && parsed->verb == MciCommand::Verb::Open && !parsed->target.empty() &&
        holdsNoSound(parsed->target)) {
        return MCIERR_CANNOT_LOAD_DRIVER;
    }
    const std::wstring wide = wideFromUtf8(quotedMciCommand(command, parsed));
    const auto window = reinterpret_cast<HANDLE>(callbackWindow);
    if (returnString == nullptr || returnLength == 0)
        return entries_->mciSendString(wide.c_str(), nullptr, 0, window);

    std::vector<wchar_t> reply(returnLength, L'\0');
    const DWORD result = entries_->mciSendString(wide.c_str(), reply.data(), returnLength, window);
    const std::string text = utf8FromWide(reply.data());
    const size_t kept = std::min<size_t>(text.size(), returnLength - 1);
    std::memcpy(returnString, text.data(), kept);
    returnString[kept] = '\0';
    return result;
}

int32_t WinmmPlatform::mciExecute(const char* command) {
    const std::optional<MciCommand> parsed =
        command != nullptr ? parseMciCommand(command) : std::nullopt;
    const uint32_t error =
        command != nullptr ? send(command, parsed, nullptr, 0, 0) : MCIERR_MISSING_PARAMETER;
    const std::optional<std::string> box = musicBoxes_.afterCommand(command, parsed, error);
    if (!box)
        return 1;
    wchar_t text[256] = L"";
    const std::string errorText = entries_->mciGetErrorString(error, text, 256)
                                      ? utf8FromWide(text)
                                      : mciErrorText(error, warnings_.language());
    writeErrorLine(failedCommandLine(command, errorText, "", warnings_.language()));
    showError_(*box);
    return 0;
}

std::string WinmmPlatform::systemShortPath(const char* longPath) const {
    const std::wstring wide = wideFromUtf8(longPath);
    const DWORD needed = entries_->getShortPathName(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return "";
    std::wstring found(needed, L'\0');
    const DWORD length = entries_->getShortPathName(wide.c_str(), found.data(), needed);
    if (length == 0 || length >= needed)
        return "";  // the file went away, or was renamed longer, between the two calls
    found.resize(length);
    return utf8FromWide(found);
}

uint32_t WinmmPlatform::GetShortPathNameA(const char* longPath, char* shortPath,
                                          uint32_t bufferLength) {
    if (longPath == nullptr)
        return 0;
    const std::string text = systemShortPath(longPath);
    musicBoxes_.shortPathAsked(longPath, text);
    if (text.empty())
        return 0;
    if (shortPath == nullptr || text.size() + 1 > bufferLength)
        return static_cast<uint32_t>(text.size() + 1);
    std::memcpy(shortPath, text.c_str(), text.size() + 1);
    return static_cast<uint32_t>(text.size());
}

void WinmmPlatform::silence() {
    entries_->sndPlaySound(nullptr, SND_SYNC);
    entries_->mciSendString(L"close all", nullptr, 0, nullptr);
}

}  // namespace velozor
