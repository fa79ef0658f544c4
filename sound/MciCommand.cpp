// Command-string parsing for the sound back ends.
#include "sound/MciCommand.h"

#include <algorithm>
#include <cctype>

#include "sound/SoundPlatform.h"

namespace velozor {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool isPathSeparator(char c) {
    return c == '/' || c == '\\';
}

// Position of the last " KEYWORD word" (case-insensitive) at the end of `text`, or npos. A
// device type or an alias never holds a path separator, so a " type " or " alias " followed by
// one is part of a folder's name ("/home/ana/Juegos type Arcade/velozor"), not a keyword. One
// pass from the end: each step adds one character to the tail that must hold no separator, so
// a long command without keywords costs its length, not its length squared.
size_t findLastKeyword(std::string_view text, std::string_view keyword) {
    const std::string padded = std::string(" ").append(keyword).append(" ");
    if (text.size() < padded.size())
        return std::string_view::npos;
    for (size_t at = text.size() - padded.size() + 1; at-- > 0;) {
        const size_t tailStart = at + padded.size();
        if (tailStart < text.size() && isPathSeparator(text[tailStart]))
            return std::string_view::npos;
        if (equalsIgnoringCase(text.substr(at, padded.size()), padded))
            return at;
    }
    return std::string_view::npos;
}

// Whether `text` ends with " KEYWORD" and no word after it (case-insensitive).
bool endsWithBareKeyword(std::string_view text, std::string_view keyword) {
    return text.size() > keyword.size() && text[text.size() - keyword.size() - 1] == ' ' &&
           equalsIgnoringCase(text.substr(text.size() - keyword.size()), keyword);
}

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<MciCommand> parseMciCommand(std::string_view command) {
    command = trimSpaces(command);
    const size_t wordEnd = std::min(command.find(' '), command.size());
    const std::string_view verb = command.substr(0, wordEnd);
    // The rest keeps its inner spaces: "OPEN " followed by an empty path is an open of nothing.
    std::string_view rest = command.substr(wordEnd);
    if (!rest.empty())
        rest.remove_prefix(1);

    MciCommand parsed;
    if (equalsIgnoringCase(verb, "close") && equalsIgnoringCase(trimSpaces(rest), "all")) {
        parsed.verb = MciCommand::Verb::CloseAll;
        return parsed;
    }
    if (equalsIgnoringCase(verb, "play") || equalsIgnoringCase(verb, "close")) {
        parsed.verb =
            equalsIgnoringCase(verb, "play") ? MciCommand::Verb::Play : MciCommand::Verb::Close;
        parsed.target = std::string(trimSpaces(rest));
        return parsed;
    }
    if (!equalsIgnoringCase(verb, "open"))
        return std::nullopt;

    parsed.verb = MciCommand::Verb::Open;
    // Keywords are searched in " rest" so that an empty path ("OPEN  TYPE ...") still splits.
    const std::string spaced = std::string(" ").append(rest);
    std::string_view body = spaced;
    if (endsWithBareKeyword(body, "alias"))
        return std::nullopt;
    const size_t aliasAt = findLastKeyword(body, "alias");
    if (aliasAt != std::string_view::npos) {
        parsed.alias = std::string(trimSpaces(body.substr(aliasAt + 7)));
        body = body.substr(0, aliasAt);
    }
    if (endsWithBareKeyword(body, "type"))
        return std::nullopt;
    const size_t typeAt = findLastKeyword(body, "type");
    if (typeAt != std::string_view::npos) {
        parsed.type = std::string(trimSpaces(body.substr(typeAt + 6)));
        body = body.substr(0, typeAt);
    }
    parsed.target = std::string(trimSpaces(body));
    return parsed;
}

std::string failedCommandLine(const char* command, std::string_view errorText,
                              std::string_view detail, Language language) {
    std::string line =
        inLanguage(language, "falló la orden de sonido «{}»: {}", "sound command \"{}\" failed: {}",
                   {command != nullptr ? command : "", errorText});
    if (!detail.empty())
        line.append(" (").append(detail).append(")");
    return line;
}

std::string mciErrorText(uint32_t error, Language language) {
    switch (error) {
        case 0:
            return inLanguage(language, "La orden se ha ejecutado bien.", "The command succeeded.");
        case MCIERR_INVALID_DEVICE_NAME:
            return inLanguage(language, "El dispositivo indicado no está abierto o no se reconoce.",
                              "The specified device is not open or is not recognized.");
        case MCIERR_UNRECOGNIZED_COMMAND:
            return inLanguage(language, "No se reconoce la orden.",
                              "The command is not recognized.");
        case MCIERR_FILE_NOT_FOUND:
            return inLanguage(language,
                              "No se encuentra el archivo indicado. Comprueba que la ruta y el "
                              "nombre del archivo son correctos.",
                              "Cannot find the specified file. Make sure the path and filename "
                              "are correct.");
        case MCIERR_CANNOT_LOAD_DRIVER:
            return inLanguage(language,
                              "No se puede reproducir el archivo: no es un archivo de sonido que "
                              "este programa sepa descodificar.",
                              "The file cannot be played: it is not a sound file this program "
                              "can decode.");
        case MCIERR_DUPLICATE_ALIAS:
            return inLanguage(language, "El alias indicado ya se usa en esta aplicación.",
                              "The specified alias is already being used in this application.");
        case MCIERR_MISSING_PARAMETER:
            return inLanguage(language, "A la orden le falta un parámetro obligatorio.",
                              "The command is missing a required parameter.");
        default:
            return inLanguage(language, "La orden de sonido falló con el error {}.",
                              "Sound command failed with error {}.", {std::to_string(error)});
    }
}

}  // namespace velozor
