// Resolution of the game's sound paths on a native file system.
#include "sound/mixer/PathResolver.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace velozor {

namespace {

// The Latin-1 letters that decompose into a base letter and one combining accent, in lower
// case (upper case is folded to lower case before composing).
struct Composition {
    char32_t base;
    char32_t accent;
    char32_t composed;
};
constexpr Composition kCompositions[] = {
    {U'a', 0x300, 0xE0}, {U'a', 0x301, 0xE1}, {U'a', 0x302, 0xE2}, {U'a', 0x303, 0xE3},
    {U'a', 0x308, 0xE4}, {U'a', 0x30A, 0xE5}, {U'c', 0x327, 0xE7}, {U'e', 0x300, 0xE8},
    {U'e', 0x301, 0xE9}, {U'e', 0x302, 0xEA}, {U'e', 0x308, 0xEB}, {U'i', 0x300, 0xEC},
    {U'i', 0x301, 0xED}, {U'i', 0x302, 0xEE}, {U'i', 0x308, 0xEF}, {U'n', 0x303, 0xF1},
    {U'o', 0x300, 0xF2}, {U'o', 0x301, 0xF3}, {U'o', 0x302, 0xF4}, {U'o', 0x303, 0xF5},
    {U'o', 0x308, 0xF6}, {U'u', 0x300, 0xF9}, {U'u', 0x301, 0xFA}, {U'u', 0x302, 0xFB},
    {U'u', 0x308, 0xFC}, {U'y', 0x301, 0xFD}, {U'y', 0x308, 0xFF},
};

// Decodes `text` as UTF-8; nullopt when it is not valid UTF-8 (then it is taken as Latin-1).
std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string decoded;
    decoded.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        size_t length = 0;
        char32_t point = 0;
        if (lead < 0x80) {
            length = 1;
            point = lead;
        } else if ((lead & 0xE0) == 0xC0 && lead >= 0xC2) {
            length = 2;
            point = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            point = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0 && lead <= 0xF4) {
            length = 4;
            point = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (at + length > text.size())
            return std::nullopt;
        for (size_t next = 1; next < length; ++next) {
            const auto byte = static_cast<unsigned char>(text[at + next]);
            if ((byte & 0xC0) != 0x80)
                return std::nullopt;
            point = (point << 6) | (byte & 0x3F);
        }
        // Overlong forms would let two spellings of one name differ only in their bytes.
        if ((length == 3 && point < 0x800) || (length == 4 && point < 0x10000)) {
            return std::nullopt;
        }
        decoded.push_back(point);
        at += length;
    }
    return decoded;
}

char32_t lowerCase(char32_t point) {
    if (point >= U'A' && point <= U'Z')
        return point + 0x20;
    if (point >= 0xC0 && point <= 0xDE && point != 0xD7)
        return point + 0x20;
    return point;
}

void appendUtf8(std::string& out, char32_t point) {
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (point >> 6)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

std::optional<ResolvedFile> statFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    ResolvedFile file;
    file.path = path;
    file.size = static_cast<int64_t>(info.st_size);
    file.modifiedNanos =
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    file.isRegularFile = S_ISREG(info.st_mode);
    return file;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose folded name is `wanted`, first in byte order; nullopt if none.
std::optional<std::string> findInFolder(const std::string& folder, const std::string& wanted) {
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr)
        return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (foldedName(name) == wanted && (!best || name < *best))
            best = std::string(name);
    }
    ::closedir(listing);
    return best;
}

}  // namespace

std::string foldedName(std::string_view component) {
    std::u32string points;
    if (std::optional<std::u32string> decoded = decodeUtf8(component)) {
        points = std::move(*decoded);
    } else {
        points.reserve(component.size());
        for (char byte : component)
            points.push_back(static_cast<unsigned char>(byte));
    }
    std::u32string composed;
    composed.reserve(points.size());
    for (char32_t point : points) {
        point = lowerCase(point);
        if (!composed.empty()) {
            const char32_t base = composed.back();
            const auto found = std::find_if(
                std::begin(kCompositions), std::end(kCompositions),
                [&](const Composition& c) { return c.base == base && c.accent == point; });
            if (found != std::end(kCompositions)) {
                composed.back() = found->composed;
                continue;
            }
        }
        composed.push_back(point);
    }
    std::string key;
    key.reserve(composed.size() + 4);
    for (char32_t point : composed)
        appendUtf8(key, point);
    return key;
}

std::optional<ResolvedFile> resolveGamePath(std::string_view gamePath) {
    if (gamePath.empty())
        return std::nullopt;
    std::string native(gamePath);
    std::replace(native.begin(), native.end(), '\\', '/');

    // The game's own files, laid out as shipped, are found by one stat.
    if (std::optional<ResolvedFile> direct = statFile(native))
        return direct;

    // Otherwise walk the path one component at a time from its start.
    std::string resolved = native.front() == '/' ? "/" : "";
    size_t at = 0;
    while (at <= native.size()) {
        size_t end = native.find('/', at);
        if (end == std::string::npos)
            end = native.size();
        const std::string component = native.substr(at, end - at);
        at = end + 1;
        if (component.empty())
            continue;  // a leading, doubled or trailing separator

        const std::string folder = resolved;
        const std::string prefix =
            resolved.empty() || resolved.back() == '/' ? resolved : resolved + "/";
        if (component == "." || component == ".." || exists(prefix + component)) {
            resolved = prefix + component;
            continue;
        }
        const std::optional<std::string> match = findInFolder(folder, foldedName(component));
        if (!match)
            return std::nullopt;
        resolved = prefix + *match;
    }
    return statFile(resolved);
}

}  // namespace velozor
