// The player's messages through zenity, or SDL's box where zenity cannot be started.
#include "ui/sdl/MessageDialog.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "base/ErrorLine.h"

namespace velozor {

namespace {

// zenity's dialog keeps its text to 60 characters a line (GTK's message dialogs do); SDL's box
// is given as many, some 420 pixels in its font, which fits any screen.
constexpr std::size_t kCharactersPerLine = 60;

// Shows `message` in zenity's dialog and waits for the player to close it; false when zenity
// could not be started. Its own output (GTK's notes on a dialog without a parent window) goes
// nowhere: standard error has the message already.
// No --width: with one, zenity 3.44 lets the text spread over the whole screen's width.
bool showWithZenity(MessageKind kind, const std::string& message) {
    std::vector<std::string> arguments = {
        "zenity", kind == MessageKind::Error ? "--error" : "--warning", "--title=Velozor",
        "--no-markup",  // the text exactly as written, '<' and '&' too
        "--text=" + message};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The game blocks SIGTERM and SIGINT for its signal watch; the dialog must end on them.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = -1;
    const int error = posix_spawnp(&child, "zenity", &files, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0)
        return false;
    int status = 0;
    while (waitpid(child, &status, 0) == -1 && errno == EINTR) {
    }
    return true;
}

}  // namespace

void showMessage(MessageKind kind, const std::string& message) {
    writeErrorLine(message);
    if (showWithZenity(kind, message))
        return;
    // SDL's X11 box is as wide as its longest line, and breaks no line itself.
    const std::string wrapped = wrapLines(message, kCharactersPerLine);
    // Fails (and returns at once) where no box can be shown; standard error has the text.
    SDL_ShowSimpleMessageBox(
        kind == MessageKind::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_WARNING, "Velozor",
        wrapped.c_str(), nullptr);
}

std::string wrapLines(const std::string& text, std::size_t columns) {
    const auto continuation = [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
    };
    std::string wrapped = text;
    std::size_t lastSpace = std::string::npos;  // on the line being measured
    std::size_t length = 0;                     // its characters so far
    std::size_t lengthToSpace = 0;              // of them, those up to lastSpace, it included
    for (std::size_t at = 0; at < wrapped.size(); ++at) {
        if (wrapped[at] == '\n') {
            lastSpace = std::string::npos;
            length = 0;
            continue;
        }
        if (continuation(wrapped[at]))
            continue;
        ++length;
        if (wrapped[at] == ' ') {
            lastSpace = at;
            lengthToSpace = length;
        }
        if (length > columns && lastSpace != std::string::npos) {
            wrapped[lastSpace] = '\n';
            length -= lengthToSpace;
            lastSpace = std::string::npos;
        }
    }
    return wrapped;
}

}  // namespace velozor
