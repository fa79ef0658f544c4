// Small sound fixtures the mixer tests and benchmarks write for themselves, with the sound
// generator's own writers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "tools/soundpack/AudioBuffer.h"

namespace velozor::testing {

inline constexpr int kRate = soundpack::kSampleRate;

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

}  // namespace velozor::testing
