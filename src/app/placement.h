#pragma once
#include <windows.h>

#include <optional>

#include "appcore/settings.h"

namespace kivo::app {

// The stored window placement as one to apply, or none when it must not be:
// nothing stored, a record of another size, or one that would leave the
// window hidden or minimised (it is shown as a normal window instead).
std::optional<WINDOWPLACEMENT> usable_placement(const Settings::Placement& stored);
Settings::Placement placement_bytes(const WINDOWPLACEMENT& placement);

}  // namespace kivo::app
