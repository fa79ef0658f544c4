// Line breaking, wrapping and drawing of the credits label.
#include "ui/sdl/CreditsLabel.h"

#include <cmath>

#include "ui/sdl/SansFont.h"

namespace velozor {

namespace {

constexpr SDL_Color kTextColour{0, 0, 0, 255};

}  // namespace

CreditsLabel::CreditsLabel(double scale, const SansFontLookup& font, Language language)
    : scale_(scale), language_(language) {
    if (TTF_Init() != 0) {
        error_ = inLanguage(language_, "no se puede iniciar SDL2_ttf: {}",
                            "cannot start SDL2_ttf: {}", {TTF_GetError()});
        return;
    }
    ttfStarted_ = true;
    const std::optional<FontFile>& file = font.file;
    if (!file) {
        error_ = font.error;
        return;
    }
    const auto dpi = static_cast<unsigned>(std::lround(96.0 * scale_));
    font_ = TTF_OpenFontIndexDPI(file->path.c_str(), kPointSize, file->faceIndex, dpi, dpi);
    if (font_ == nullptr) {
        error_ = inLanguage(language_,
                            "no se puede abrir la fuente {}: {} (vuelve a instalar "
                            "fonts-dejavu-core)",
                            "cannot open the font {}: {} (reinstall fonts-dejavu-core)",
                            {file->path, TTF_GetError()});
    }
}

CreditsLabel::~CreditsLabel() {
    rendered_.clear();
    if (font_ != nullptr)
        TTF_CloseFont(font_);
    if (ttfStarted_)
        TTF_Quit();
}

std::vector<std::string> CreditsLabel::splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

int CreditsLabel::scaled(int pixels) const {
    return static_cast<int>(std::lround(pixels * scale_));
}

int CreditsLabel::textWidth(const std::string& text) const {
    int width = 0;
    int height = 0;
    if (TTF_SizeUTF8(font_, text.c_str(), &width, &height) != 0)
        return 0;
    return width;
}

void CreditsLabel::wrapInto(const std::string& line, std::vector<std::string>& out) const {
    const int limit = scaled(kWidth);
    std::string current;
    bool first = true;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find(' ', start);
        if (end == std::string::npos)
            end = line.size();
        const std::string word = line.substr(start, end - start);
        // Repeated spaces stay as written: they join the line as empty words.
        std::string candidate = first ? word : current + ' ' + word;
        if (first || textWidth(candidate) <= limit) {
            current = std::move(candidate);
        } else {
            out.push_back(current);
            current = word;  // a single word wider than the label is clipped when drawn
        }
        first = false;
        start = end + 1;
    }
    out.push_back(current);
}

bool CreditsLabel::setText(const std::string& text) {
    lines_.clear();
    rendered_.clear();
    for (const std::string& line : splitLines(text)) {
        if (font_ == nullptr) {
            lines_.push_back(line);
        } else {
            wrapInto(line, lines_);
        }
    }
    if (font_ == nullptr)
        return true;  // already reported when the font failed
    bool complete = true;
    for (const std::string& line : lines_) {
        if (line.empty()) {
            rendered_.emplace_back(nullptr);
            continue;
        }
        rendered_.emplace_back(TTF_RenderUTF8_Blended(font_, line.c_str(), kTextColour));
        if (!rendered_.back() && complete) {
            error_ =
                inLanguage(language_, "no se puede dibujar la línea de créditos «{}»: {}",
                           "cannot render the credits line \"{}\": {}", {line, TTF_GetError()});
            complete = false;
        }
    }
    return complete;
}

SDL_Rect CreditsLabel::area() const {
    const int lineHeight = font_ != nullptr ? TTF_FontLineSkip(font_) : 0;
    return SDL_Rect{scaled(kLeft), scaled(kTop), scaled(kWidth),
                    lineHeight * static_cast<int>(lines_.size())};
}

void CreditsLabel::draw(SDL_Surface* target) const {
    if (font_ == nullptr)
        return;
    const SDL_Rect label = area();
    SDL_Rect previousClip;
    SDL_GetClipRect(target, &previousClip);
    SDL_SetClipRect(target, &label);
    const int lineHeight = TTF_FontLineSkip(font_);
    int y = label.y;
    for (const Surface& line : rendered_) {
        if (line) {
            SDL_Rect place{label.x, y, line->w, line->h};
            SDL_BlitSurface(line.get(), nullptr, target, &place);
        }
        y += lineHeight;
    }
    SDL_SetClipRect(target, &previousClip);
}

}  // namespace velozor
