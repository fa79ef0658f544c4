// Sound files found by their wide paths.
#include "sound/winmm/WindowsSoundFile.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>

#include "sound/winmm/WideText.h"

namespace velozor {

SoundFileOnDisk findWindowsSoundFile(const std::string& path) {
    SoundFileOnDisk found;
    found.path = path;
    const std::wstring wide = wideFromUtf8(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return found;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        found.kind = SoundFileOnDisk::Kind::NotARegularFile;
        return found;
    }
    found.kind = SoundFileOnDisk::Kind::RegularFile;
    found.file.reset(_wfopen(wide.c_str(), L"rb"));
    found.openError = found.file ? 0 : errno;
    return found;
}

}  // namespace velozor
