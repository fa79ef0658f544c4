// What a player may choose about the sound folder: its language, its pace, its music's level.
#pragma once

#include "tools/soundpack/SpokenTexts.h"

namespace velozor::soundpack {

// A little slower than eSpeak's default, so the game's instructions are easy to follow.
inline constexpr int kDefaultWordsPerMinute = 160;
// eSpeak NG's own limits on its speaking rate, in words per minute.
inline constexpr int kSlowestWordsPerMinute = 80;
inline constexpr int kFastestWordsPerMinute = 450;

// The music's RMS against the speech's, in dB: well under it, so quick cues stay easy to follow.
inline constexpr double kDefaultMusicLevelDb = -18.0;
// The quietest music worth making, and the loudest that still leaves the speech on top.
inline constexpr double kQuietestMusicLevelDb = -40.0;
inline constexpr double kLoudestMusicLevelDb = 0.0;

struct FolderOptions {
    Language language = Language::Spanish;
    int wordsPerMinute = kDefaultWordsPerMinute;  // kSlowest..kFastestWordsPerMinute
    double musicLevelDb = kDefaultMusicLevelDb;   // kQuietest..kLoudestMusicLevelDb
};

}  // namespace velozor::soundpack
