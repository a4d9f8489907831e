#include "notify/system_sound.h"

#include <windows.h>
#include <mmsystem.h>

namespace kivo::notify {

SoundStart SystemSound::start(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return SoundStart::failed;
    return sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NOSTOP | SND_NODEFAULT) ? SoundStart::started : SoundStart::busy;
}

void SystemSound::stop() { sndPlaySoundA(nullptr, 0); }

}  // namespace kivo::notify
