// Wave files are written byte by byte in little-endian order, so the output does not depend on
// the host's byte order or struct padding.
#include "tools/soundpack/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "tools/soundpack/FileBytes.h"

namespace velozor::soundpack {

namespace {

void putU16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xff));
    out.push_back(static_cast<char>((value >> 8) & 0xff));
}

void putU32(std::string& out, uint32_t value) {
    putU16(out, value & 0xffff);
    putU16(out, value >> 16);
}

uint32_t getU16(const std::string& in, std::size_t at) {
    return static_cast<uint8_t>(in[at]) |
           (static_cast<uint32_t>(static_cast<uint8_t>(in[at + 1])) << 8);
}

uint32_t getU32(const std::string& in, std::size_t at) {
    return getU16(in, at) | (getU16(in, at + 2) << 16);
}

int16_t toPcm16(float sample) {
    const float clipped = std::clamp(sample, -1.0f, 1.0f);
    return static_cast<int16_t>(std::lround(clipped * 32767.0f));
}

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& what) {
    throw std::runtime_error("wave file " + file.string() + ": " + what);
}

}  // namespace

void writeWav(const std::filesystem::path& file, const AudioBuffer& audio) {
    if (audio.channels < 1 || audio.samples.size() % audio.channels != 0) {
        fail(file, "cannot write: the sound has no whole frames (" +
                       std::to_string(audio.samples.size()) + " samples in " +
                       std::to_string(audio.channels) + " channels)");
    }
    const uint32_t channels = static_cast<uint32_t>(audio.channels);
    const uint32_t dataBytes = static_cast<uint32_t>(audio.samples.size() * 2);

    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    putU32(bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    putU32(bytes, 16);
    putU16(bytes, 1);  // PCM
    putU16(bytes, channels);
    putU32(bytes, kSampleRate);
    putU32(bytes, kSampleRate * channels * 2);
    putU16(bytes, channels * 2);
    putU16(bytes, 16);
    bytes += "data";
    putU32(bytes, dataBytes);
    for (const float sample : audio.samples) {
        putU16(bytes, static_cast<uint16_t>(toPcm16(sample)));
    }

    writeFileBytes(file, bytes, "wave file");
}

WavContents readWav(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        fail(file, "cannot open it for reading");
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        fail(file, "not a RIFF/WAVE file");
    }

    WavContents contents;
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = getU32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size()) {
            fail(file, "chunk \"" + id + "\" runs past the end of the file");
        }
        if (id == "fmt ") {
            if (size < 16) {
                fail(file, "format chunk too short");
            }
            if (getU16(bytes, body) != 1) {
                fail(file, "not PCM (format tag " + std::to_string(getU16(bytes, body)) + ")");
            }
            contents.audio.channels = static_cast<int>(getU16(bytes, body + 2));
            contents.sampleRate = static_cast<int>(getU32(bytes, body + 4));
            contents.bitsPerSample = static_cast<int>(getU16(bytes, body + 14));
            if (contents.audio.channels < 1) {
                fail(file, "format chunk declares no channels");
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                fail(file, "data chunk comes before the format chunk");
            }
            if (contents.bitsPerSample != 16) {
                fail(file, std::to_string(contents.bitsPerSample) +
                               "-bit samples; only 16-bit PCM is read");
            }
            contents.audio.samples.resize(size / 2);
            for (std::size_t i = 0; i < size / 2; ++i) {
                const auto value = static_cast<int16_t>(getU16(bytes, body + 2 * i));
                contents.audio.samples[i] = static_cast<float>(value) / 32768.0f;
            }
            return contents;
        }
        at = body + size + (size & 1);  // chunks are padded to an even length
    }
    fail(file, haveFormat ? "no data chunk" : "no format chunk");
}

}  // namespace velozor::soundpack
