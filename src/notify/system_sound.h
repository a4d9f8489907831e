#pragma once
#include <string>

#include "appcore/sound_player.h"

namespace kivo::notify {

// The platform's simple sound call: asynchronous, never cutting off a sound
// that still plays, and silent for a file that cannot be played (no system
// default sound instead). The call cannot tell a playing sound from a bad
// file, so only a file that is not there counts as failed.
class SystemSound : public SoundOutput {
public:
    SoundStart start(const std::string& path) override;
    void stop() override;
};

}  // namespace kivo::notify
