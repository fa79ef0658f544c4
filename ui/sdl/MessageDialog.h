// The program's messages to the player on Linux: a line on standard error, and a dialog a screen
// reader reads whole. zenity's GTK dialog reaches the accessibility tree (Orca reads its title,
// its text and its button); SDL's own X11 box does not, and keeps its text on one line, so it
// only stands in where zenity cannot be started.
#pragma once

#include <cstddef>
#include <string>

namespace velozor {

enum class MessageKind { Error, Warning };

// Writes "velozor: " and `message` on standard error, then shows `message` in a dialog titled
// "Velozor" and returns once the player has closed it. The dialog is zenity's (looked up in
// PATH), its text exactly `message` (no markup is read into it), in lines of 60 characters;
// where zenity cannot be started, SDL's message box, with line breaks put in at 60 characters;
// where neither can be shown (no display) it returns at once. SDL's box forks: call it
// only when no other thread may hold a lock the child would need (an allocator's).
void showMessage(MessageKind kind, const std::string& message);

// `text` with line breaks put in at spaces so that no line holds more than `columns` characters
// (UTF-8 characters, not bytes). Its own line breaks stay; a word longer than `columns` stands
// whole on a line of its own.
std::string wrapLines(const std::string& text, std::size_t columns);

}  // namespace velozor
