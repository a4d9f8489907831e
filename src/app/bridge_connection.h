#pragma once
#include <windows.h>

#include "engine/host_bridge.h"

namespace kivo::app {

// Connects the engine's bridge to a window: the bridge wakes the window with
// a posted message (never a sent one, so no account thread waits on the
// window), and the window drains the bridge when the message arrives. The
// bridge is closed again when this object goes.
class BridgeConnection {
public:
    static constexpr UINT kMessage = WM_APP + 0x101;

    BridgeConnection(HostBridge& bridge, HWND window) : bridge_(bridge)
    {
        bridge_.set_wake([window] { return PostMessageA(window, kMessage, 0, 0) != FALSE; });
    }
    ~BridgeConnection() { bridge_.set_wake({}); }
    BridgeConnection(const BridgeConnection&) = delete;
    BridgeConnection& operator=(const BridgeConnection&) = delete;

    // For the window procedure: drains on the bridge's message and says
    // whether it was that message.
    bool handle(UINT message, HostClient& client)
    {
        if (message != kMessage)
            return false;
        bridge_.drain(client);
        return true;
    }

private:
    HostBridge& bridge_;
};

}  // namespace kivo::app
