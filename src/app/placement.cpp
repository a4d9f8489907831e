#include "app/placement.h"

#include <cstring>

namespace kivo::app {

static_assert(sizeof(WINDOWPLACEMENT) == Settings::kPlacementSize);

std::optional<WINDOWPLACEMENT> usable_placement(const Settings::Placement& stored)
{
    WINDOWPLACEMENT placement{};
    std::memcpy(&placement, stored.data(), sizeof placement);
    if (placement.length != sizeof placement)
        return std::nullopt;
    RECT& r = placement.rcNormalPosition;
    if (r.right <= r.left || r.bottom <= r.top)
        return std::nullopt;
    if (placement.showCmd != SW_SHOWMAXIMIZED && placement.showCmd != SW_MAXIMIZE)
        placement.showCmd = SW_SHOWNORMAL;
    placement.flags = 0;
    return placement;
}

Settings::Placement placement_bytes(const WINDOWPLACEMENT& placement)
{
    Settings::Placement bytes{};
    std::memcpy(bytes.data(), &placement, sizeof placement);
    return bytes;
}

}  // namespace kivo::app
