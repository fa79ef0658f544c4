// Keeps SDL_mixer's MP3 tag reader away from the text of a file's ID3v2 tag.
#pragma once

#include <vector>

namespace velozor {

// SDL_mixer 2.6 copies a title, artist, album or copyright frame of an ID3v2.3/2.4 tag at the
// length the frame declares, out of a 1 KiB buffer: a long frame, or one whose length lies,
// reads past that buffer and can bring the game down. The tag holds nothing the game plays,
// so its frames are blanked in place (and its extended-header flag cleared) before the mixer
// sees the bytes; the tag keeps its length, so the decoder skips it as before and the sound
// plays the same. Bytes that do not start with an ID3v2 tag are left as they are. Returns
// whether anything was blanked.
bool blankId3v2Frames(std::vector<unsigned char>& bytes);

}  // namespace velozor
