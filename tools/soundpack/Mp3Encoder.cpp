// LAME is driven in blocks; its output buffer is sized by the bound LAME documents. In mono
// LAME reads only the first channel, but is handed the same block for both to be safe.
#include "tools/soundpack/Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "tools/soundpack/AudioBuffer.h"
#include "tools/soundpack/FileBytes.h"

namespace velozor::soundpack {

namespace {

constexpr int kBlockFrames = 8192;

struct LameCloser {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

[[noreturn]] void fail(const std::filesystem::path& file, const std::string& what) {
    throw std::runtime_error("MP3 file " + file.string() + ": " + what);
}

}  // namespace

void writeMp3(const std::filesystem::path& file, const std::vector<float>& mono,
              int kilobitsPerSecond) {
    std::unique_ptr<lame_global_flags, LameCloser> lame(lame_init());
    if (!lame) {
        fail(file, "cannot start the LAME encoder (out of memory?)");
    }
    lame_set_in_samplerate(lame.get(), kSampleRate);
    lame_set_out_samplerate(lame.get(), kSampleRate);
    lame_set_num_channels(lame.get(), 1);
    lame_set_mode(lame.get(), MONO);
    lame_set_brate(lame.get(), kilobitsPerSecond);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 0);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        fail(file, "LAME rejected the settings (" + std::to_string(kilobitsPerSecond) +
                       " kbit/s mono at " + std::to_string(kSampleRate) + " Hz)");
    }

    std::string encoded;
    std::vector<unsigned char> block(kBlockFrames * 5 / 4 + 7200);
    for (std::size_t at = 0; at < mono.size(); at += kBlockFrames) {
        const int frames = static_cast<int>(std::min<std::size_t>(kBlockFrames, mono.size() - at));
        const int bytes =
            lame_encode_buffer_ieee_float(lame.get(), mono.data() + at, mono.data() + at, frames,
                                          block.data(), static_cast<int>(block.size()));
        if (bytes < 0) {
            fail(file, "LAME failed to encode (error " + std::to_string(bytes) + ")");
        }
        encoded.append(reinterpret_cast<const char*>(block.data()), bytes);
    }
    const int tail = lame_encode_flush(lame.get(), block.data(), static_cast<int>(block.size()));
    if (tail < 0) {
        fail(file, "LAME failed to finish the stream (error " + std::to_string(tail) + ")");
    }
    encoded.append(reinterpret_cast<const char*>(block.data()), tail);

    writeFileBytes(file, encoded, "MP3 file");
}

}  // namespace velozor::soundpack
