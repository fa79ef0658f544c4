// Label1: the credits, drawn with SDL2_ttf in the system's sans font.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Language.h"
#include "ui/sdl/SansFont.h"

namespace velozor {

class CreditsLabel {
public:
    // The label's place in the client area, in pixels at 96 dpi. Its height grows to hold
    // every line of its caption.
    static constexpr int kLeft = 10;
    static constexpr int kTop = 8;
    static constexpr int kWidth = 183;
    static constexpr int kPointSize = 8;

    // `scale`: screen pixels per pixel at 96 dpi; `font`: what findSansFont found. When no font
    // can be opened the label draws nothing, and error() says why, in `language` (the game needs
    // no text on screen to be played).
    CreditsLabel(double scale, const SansFontLookup& font, Language language = Language::Spanish);
    ~CreditsLabel();
    CreditsLabel(const CreditsLabel&) = delete;
    CreditsLabel& operator=(const CreditsLabel&) = delete;

    bool hasFont() const { return font_ != nullptr; }
    const std::string& error() const { return error_; }

    // Sets the caption: a carriage return (character 13) starts a new line, as does a line
    // feed or the pair CR LF; a line wider than the label wraps at its last space that fits.
    // Returns false, with error() saying why, when a line could not be rendered.
    bool setText(const std::string& text);
    // The lines as drawn, after the breaks and the wrapping.
    const std::vector<std::string>& lines() const { return lines_; }
    // The label's area in screen pixels, as tall as its lines.
    SDL_Rect area() const;
    // Draws the text onto `target`, whose background must be painted already.
    void draw(SDL_Surface* target) const;

    // The caption's lines before wrapping; an empty line between two breaks is kept.
    static std::vector<std::string> splitLines(const std::string& text);

private:
    struct SurfaceDeleter {
        void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
    };
    using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

    int textWidth(const std::string& text) const;
    void wrapInto(const std::string& line, std::vector<std::string>& out) const;
    int scaled(int pixels) const;

    double scale_;
    Language language_;
    bool ttfStarted_ = false;
    TTF_Font* font_ = nullptr;
    std::string error_;
    std::vector<std::string> lines_;
    std::vector<Surface> rendered_;  // one per line; null for an empty line
};

}  // namespace velozor
