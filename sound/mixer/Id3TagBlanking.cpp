// Blanks the frames of a leading ID3v2 tag.
#include "sound/mixer/Id3TagBlanking.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace velozor {

namespace {

constexpr std::size_t kHeaderBytes = 10;
constexpr unsigned char kExtendedHeaderFlag = 0x40;

}  // namespace

bool blankId3v2Frames(std::vector<unsigned char>& bytes) {
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), "ID3", 3) != 0)
        return false;
    // The length is "synchsafe": seven bits in each of four bytes.
    std::size_t length = 0;
    for (std::size_t at = 6; at < kHeaderBytes; ++at)
        length = length << 7 | (bytes[at] & 0x7f);
    const std::size_t end = std::min(bytes.size(), kHeaderBytes + length);
    bytes[5] &= static_cast<unsigned char>(~kExtendedHeaderFlag);
    std::fill(bytes.begin() + kHeaderBytes, bytes.begin() + static_cast<std::ptrdiff_t>(end), 0);
    return true;
}

}  // namespace velozor
