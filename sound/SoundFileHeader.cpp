// Sound files told apart by their headers.
#include "sound/SoundFileHeader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace velozor {

namespace {

// The bytes read at the start of a file, and again behind an ID3v2 tag: a header, and an
// MPEG audio frame (at most 2 881 bytes) with the next one's header. A wave file's chunks
// past this are reached by seeking.
constexpr size_t kWindowBytes = 4096;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

uint32_t littleEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int at = count - 1; at >= 0; --at)
        value = (value << 8) | bytes[at];
    return value;
}

bool startsWith(const std::vector<unsigned char>& head, size_t at, const char* text) {
    const size_t length = std::strlen(text);
    return head.size() >= at + length && std::memcmp(head.data() + at, text, length) == 0;
}

// The wave encodings SDL's wave loader decodes: PCM, MS ADPCM, IEEE float, A-law, mu-law,
// IMA ADPCM and the extensible header that wraps them.
bool decodableWaveEncoding(uint32_t tag) {
    return tag == 1 || tag == 2 || tag == 3 || tag == 6 || tag == 7 || tag == 0x11 || tag == 0xFFFE;
}

// Walks the RIFF chunks: a "fmt " the loader decodes, then a "data" chunk with at least one
// whole frame (block) actually in the file.
std::string waveProblem(std::FILE* file, int64_t fileSize, Language language) {
    int64_t at = 12;
    uint32_t blockAlign = 0;
    unsigned char chunk[24];
    while (at + 8 <= fileSize) {
        if (std::fseek(file, static_cast<long>(at), SEEK_SET) != 0 ||
            std::fread(chunk, 1, 8, file) != 8) {
            return inLanguage(language, "no se pueden leer sus bloques", "cannot read its chunks");
        }
        const uint32_t size = littleEndian(chunk + 4, 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || std::fread(chunk + 8, 1, 16, file) != 16)
                return inLanguage(language, "su bloque de formato está cortado",
                                  "its format chunk is cut short");
            const uint32_t channels = littleEndian(chunk + 10, 2);
            const uint32_t rate = littleEndian(chunk + 12, 4);
            blockAlign = littleEndian(chunk + 20, 2);
            if (!decodableWaveEncoding(littleEndian(chunk + 8, 2)))
                return inLanguage(language,
                                  "su codificación de onda no es una que el mezclador descodifique",
                                  "its wave encoding is not one the mixer decodes");
            if (channels == 0 || rate == 0 || blockAlign == 0)
                return inLanguage(
                    language,
                    "su bloque de formato no indica canales, frecuencia o tamaño de trama",
                    "its format chunk names no channels, rate or frame size");
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (blockAlign == 0)
                return inLanguage(language, "sus datos van antes que su formato",
                                  "its data comes before its format");
            const int64_t present = std::min<int64_t>(size, fileSize - at - 8);
            if (present < blockAlign)
                return noSoundAfterItsHeader(language);
            return {};
        }
        at += 8 + int64_t{size} + (size & 1);
    }
    return blockAlign == 0
               ? inLanguage(language, "no tiene bloque de formato", "has no format chunk")
               : noSoundAfterItsHeader(language);
}

// The length in bytes of the MPEG audio frame whose header starts at `h`, or 0 when those four
// bytes are not a frame header.
int64_t mpegFrameLength(const unsigned char* h) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
        return 0;
    const int version = (h[1] >> 3) & 3;  // 0: MPEG 2.5, 2: MPEG 2, 3: MPEG 1
    const int layer = 4 - ((h[1] >> 1) & 3);
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return 0;
    static constexpr int kBitrates[2][3][14] = {
        {{32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    };
    static constexpr int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int64_t bitrate = int64_t{kBitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex - 1]} * 1000;
    const int64_t rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int64_t padding = (h[2] >> 1) & 1;
    if (layer == 1)
        return (12 * bitrate / rate + padding) * 4;
    return (layer == 3 && !mpeg1 ? 72 : 144) * bitrate / rate + padding;
}

// The first MPEG frame after the ID3v2 tag (if any): whole in the file, and followed by another
// frame header where the window goes on, so stray 0xFF bytes in other data do not count.
std::string mp3Problem(std::FILE* file, const std::vector<unsigned char>& head, int64_t fileSize,
                       Language language) {
    int64_t start = 0;
    std::vector<unsigned char> window = head;
    if (startsWith(head, 0, "ID3") && head.size() >= 10) {
        start = 10 + (int64_t{head[6] & 0x7F} << 21 | int64_t{head[7] & 0x7F} << 14 |
                      int64_t{head[8] & 0x7F} << 7 | int64_t{head[9] & 0x7F});
        if (head[5] & 0x10)
            start += 10;  // the tag's footer
        window.assign(kWindowBytes, 0);
        if (start >= fileSize || std::fseek(file, static_cast<long>(start), SEEK_SET) != 0)
            window.clear();
        window.resize(window.empty() ? 0 : std::fread(window.data(), 1, window.size(), file));
    }
    for (size_t at = 0; at + 4 <= window.size(); ++at) {
        const int64_t length = mpegFrameLength(window.data() + at);
        if (length == 0 || start + static_cast<int64_t>(at) + length > fileSize)
            continue;
        const size_t next = at + static_cast<size_t>(length);
        if (next + 4 <= window.size() && mpegFrameLength(window.data() + next) == 0)
            continue;
        return {};
    }
    if (startsWith(head, 0, "ID3")) {
        return inLanguage(language, "no tiene ninguna trama de audio MPEG tras su etiqueta ID3",
                          "holds no MPEG audio frame after its ID3 tag");
    }
    return inLanguage(language,
                      "no es un archivo de sonido que el mezclador descodifique (ni RIFF/WAVE, ni "
                      "audio MPEG, ni Ogg)",
                      "not a sound file the mixer decodes (neither RIFF/WAVE, MPEG audio nor Ogg)");
}

}  // namespace

std::string noSoundAfterItsHeader(Language language) {
    return inLanguage(language, "no tiene sonido tras su cabecera",
                      "holds no sound after its header");
}

SoundFileHeader readSoundFileHeader(std::FILE* file, Language language) {
    SoundFileHeader header;
    std::vector<unsigned char> head(kWindowBytes);
    head.resize(std::fread(head.data(), 1, head.size(), file));
    if (std::ferror(file)) {
        header.problem = inLanguage(language, "no se puede leer", "cannot be read");
        return header;
    }
    int64_t fileSize = static_cast<int64_t>(head.size());
    if (head.size() == kWindowBytes && std::fseek(file, 0, SEEK_END) == 0)
        fileSize = std::ftell(file);

    if (startsWith(head, 0, "RIFF") && startsWith(head, 8, "WAVE")) {
        header.format = SoundFormat::Wave;
        header.problem = waveProblem(file, fileSize, language);
    } else if (startsWith(head, 0, "OggS")) {
        // The first page's packet names the codec; the frames themselves are not counted here
        // (decoding finds a stream with none).
        header.format = SoundFormat::Ogg;
        const size_t packet = head.size() > 26 ? 27 + size_t{head[26]} : head.size();
        if (!startsWith(head, packet, "\x01vorbis") && !startsWith(head, packet, "OpusHead"))
            header.problem = inLanguage(language, "es un flujo Ogg ni de Vorbis ni de Opus",
                                        "an Ogg stream of neither Vorbis nor Opus");
    } else if (head.empty()) {
        header.problem = inLanguage(language, "está vacío", "is empty");
    } else {
        header.problem = mp3Problem(file, head, fileSize, language);
        if (header.problem.empty())
            header.format = SoundFormat::Mp3;
    }
    return header;
}

SoundFileHeader readSoundFileHeader(const std::string& nativePath, Language language) {
    const File file(std::fopen(nativePath.c_str(), "rb"), std::fclose);
    if (!file)
        return unopenedSoundFile(errno, language);
    return readSoundFileHeader(file.get(), language);
}

SoundFileHeader unopenedSoundFile(int error, Language language) {
    SoundFileHeader header;
    header.problem = inLanguage(language, "no se puede abrir: {}", "cannot be opened: {}",
                                {std::strerror(error)});
    return header;
}

}  // namespace velozor
