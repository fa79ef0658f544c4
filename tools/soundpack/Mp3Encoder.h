// Writing the background music as an MP3 file with LAME.
#pragma once

#include <filesystem>
#include <vector>

namespace velozor::soundpack {

// Encodes mono samples at kSampleRate as a constant-bit-rate MP3 of `kilobitsPerSecond`, with no
// ID3 or encoder tag, so the same samples always give the same bytes. Throws
// std::runtime_error naming the file when encoding or writing fails.
void writeMp3(const std::filesystem::path& file, const std::vector<float>& mono,
              int kilobitsPerSecond);

}  // namespace velozor::soundpack
