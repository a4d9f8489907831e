#include "platform/dialup.h"

#include <windows.h>

namespace kivo::platform {
namespace {

// Declared here rather than taken from <wininet.h>: the library is loaded at
// run time, so a machine without it still runs (without dial-up handling).
using GetConnectedStateFn = BOOL(WINAPI*)(LPDWORD, DWORD);
using AutodialFn = BOOL(WINAPI*)(DWORD, HWND);
using AutodialHangupFn = BOOL(WINAPI*)(DWORD);
constexpr DWORD kAutodialForceOnline = 1;

template <typename Fn>
Fn load(HMODULE module, const char* name)
{
    // GetProcAddress returns a generic function pointer; the cast through
    // void* keeps -Wcast-function-type quiet for this deliberate conversion.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class WinInetDialup : public DialupApi {
public:
    WinInetDialup() : module_(LoadLibraryA("wininet.dll"))
    {
        if (!module_)
            return;
        get_state_ = load<GetConnectedStateFn>(module_, "InternetGetConnectedState");
        autodial_ = load<AutodialFn>(module_, "InternetAutodial");
        hangup_ = load<AutodialHangupFn>(module_, "InternetAutodialHangup");
    }
    ~WinInetDialup() override
    {
        if (module_)
            FreeLibrary(module_);
    }
    WinInetDialup(const WinInetDialup&) = delete;
    WinInetDialup& operator=(const WinInetDialup&) = delete;

    bool usable() const override { return module_ && get_state_ && autodial_ && hangup_; }
    bool connected_state(std::uint32_t& flags) override
    {
        DWORD f = 0;
        BOOL up = get_state_ ? get_state_(&f, 0) : FALSE;
        flags = f;
        return up != FALSE;
    }
    bool autodial() override { return autodial_ && autodial_(kAutodialForceOnline, nullptr); }
    bool hangup() override { return hangup_ && hangup_(0); }

private:
    HMODULE module_ = nullptr;
    GetConnectedStateFn get_state_ = nullptr;
    AutodialFn autodial_ = nullptr;
    AutodialHangupFn hangup_ = nullptr;
};

}  // namespace

std::unique_ptr<DialupApi> make_system_dialup() { return std::make_unique<WinInetDialup>(); }

}  // namespace kivo::platform
