// Small sound fixtures the mixer tests and benchmarks write for themselves, with the sound
// generator's own writers, and a reader of the mix that SDL's disk audio driver writes out.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace velozor::testing {

inline constexpr int kRate = 44100;

// A folder for the running test alone: "<temp>/velozor-<kind>-<pid>-<test name>", not created.
inline std::filesystem::path testFolder(const std::string& kind) {
    return std::filesystem::temp_directory_path() /
           ("velozor-" + kind + "-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// A 16-bit stereo 44.1 kHz wave file of `frames` frames whose both channels hold
// sample(frame).
void writeWav(const std::filesystem::path& path, int frames,
              const std::function<int16_t(int frame)>& sample);

// A mono 44.1 kHz MP3 of a 441 Hz sine of `amplitude`, `frames` long, encoded as the sound
// generator encodes its music (no header tag: decoders keep LAME's priming frames).
void writeMp3(const std::filesystem::path& path, int frames, int16_t amplitude);

// The interleaved stereo samples SDL's disk driver has written to `path`, from frame `from`
// on, `frames` of them. Waits (up to 10 s) until that much has been written; returns fewer
// frames if it never was.
std::vector<int16_t> readMix(const std::filesystem::path& path, uint64_t from, uint64_t frames);

// Reads the mix from frame `from` on as the driver writes it, until `found` (given all frames
// read so far) returns a frame index of 0 or more, or `frames` frames have been read, or 10 s
// have passed. Returns that index, or -1. On a busy machine the wait simply lasts longer.
int64_t waitInMix(const std::filesystem::path& path, uint64_t from, uint64_t frames,
                  const std::function<int64_t(const std::vector<int16_t>& mix)>& found);

// The index of the first, or last, frame of `mix` (interleaved stereo) with a nonzero sample,
// or -1.
int64_t firstSounding(const std::vector<int16_t>& mix);
int64_t lastSounding(const std::vector<int16_t>& mix);
// Root mean square of the left channel over frames [from, from + frames) of `mix`.
double rms(const std::vector<int16_t>& mix, int64_t from, int64_t frames);

}  // namespace velozor::testing
