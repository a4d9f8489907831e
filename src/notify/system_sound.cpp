#include "notify/system_sound.h"

#include <windows.h>
#include <mmsystem.h>

namespace kivo::notify {

bool SystemSound::start(const std::string& path)
{
    return sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NOSTOP | SND_NODEFAULT) != FALSE;
}

void SystemSound::stop() { sndPlaySoundA(nullptr, 0); }

}  // namespace kivo::notify
