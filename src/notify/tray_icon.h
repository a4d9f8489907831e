#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <optional>
#include <string>

#include "appcore/tray_decisions.h"
#include "ui/handles.h"

namespace kivo::notify {

// The notification area, behind an interface so tests can record every call.
class NotifyArea {
public:
    virtual ~NotifyArea() = default;
    virtual bool notify(DWORD message, NOTIFYICONDATAA& data) = 0;
};

class SystemNotifyArea : public NotifyArea {
public:
    bool notify(DWORD message, NOTIFYICONDATAA& data) override { return Shell_NotifyIconA(message, &data) != FALSE; }
};

// The structure size the program announces: the version with a tooltip of
// 128 characters and balloons, which every supported Windows reads; it
// differs between 32- and 64-bit builds.
inline constexpr DWORD kNotifyDataSize = NOTIFYICONDATAA_V2_SIZE;
#ifdef _WIN64
static_assert(kNotifyDataSize == 504, "64-bit NOTIFYICONDATAA up to guidItem");
#else
static_assert(kNotifyDataSize == 488, "32-bit NOTIFYICONDATAA up to guidItem");
#endif

// What the icon shows, as far as it decides whether to draw it again.
struct TrayPicture {
    HICON base = nullptr;  // the slot's icon (changes when the user picks a file)
    std::optional<std::int64_t> number;
    tray::Colour colour{0, 0, 0};
    bool operator==(const TrayPicture&) const = default;
};

// The program's one icon in the notification area (id 777, callback
// WM_USER+100). It is drawn again only when the picture changes, and the
// area is told only when the icon or the tooltip changed. A refused add is
// tried again at the next show(), and the icon is added again after
// Explorer restarts.
class TrayIcon {
public:
    static constexpr UINT kId = 777;
    static constexpr UINT kCallbackMessage = WM_USER + 100;

    TrayIcon(NotifyArea& area, HWND window) : area_(area), window_(window) {}
    ~TrayIcon() { remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void show(const TrayPicture& picture, const std::string& tooltip);
    void remove();
    // Explorer restarted and forgot every icon.
    void taskbar_created();
    bool added() const { return added_; }
    // The composed icon now shown (for tests and for the flash phase).
    HICON icon() const { return icon_.get(); }

    static UINT taskbar_created_message();

private:
    NOTIFYICONDATAA data(UINT flags) const;

    NotifyArea& area_;
    HWND window_;
    bool added_ = false;
    std::optional<TrayPicture> picture_;
    ui::IconHandle icon_;
    std::string tooltip_;
    bool told_ = false;  // icon_ and tooltip_ are what the area shows
};

}  // namespace kivo::notify
