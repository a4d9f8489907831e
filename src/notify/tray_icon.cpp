#include "notify/tray_icon.h"

#include <cstring>

#include "notify/badge_icon.h"
#include "platform/text.h"

namespace kivo::notify {

UINT TrayIcon::taskbar_created_message()
{
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

NOTIFYICONDATAA TrayIcon::data(UINT flags) const
{
    NOTIFYICONDATAA d{};
    d.cbSize = kNotifyDataSize;
    d.hWnd = window_;
    d.uID = kId;
    d.uFlags = flags;
    d.uCallbackMessage = kCallbackMessage;
    d.hIcon = icon_.get();
    std::string tip = platform::cut_text(tooltip_, sizeof d.szTip - 1);
    std::memcpy(d.szTip, tip.c_str(), tip.size() + 1);
    return d;
}

void TrayIcon::show(const TrayPicture& picture, const std::string& tooltip)
{
    if (!picture_ || !(*picture_ == picture)) {
        ui::IconHandle fresh = picture.number
                                   ? compose_badge_icon(window_, picture.base, picture.colour, *picture.number)
                                   : ui::IconHandle(picture.base ? CopyIcon(picture.base) : nullptr);
        if (!fresh)
            return;  // nothing to show; keep what is there
        icon_ = std::move(fresh);
        picture_ = picture;
        told_ = false;
    }
    if (tooltip != tooltip_) {
        tooltip_ = tooltip;
        told_ = false;
    }
    if (!added_) {
        NOTIFYICONDATAA d = data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
        added_ = area_.notify(NIM_ADD, d);
        told_ = added_;
        return;
    }
    if (told_)
        return;
    NOTIFYICONDATAA d = data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    told_ = area_.notify(NIM_MODIFY, d);
}

void TrayIcon::remove()
{
    if (!added_)
        return;
    NOTIFYICONDATAA d = data(0);
    area_.notify(NIM_DELETE, d);
    added_ = false;
    told_ = false;
}

void TrayIcon::taskbar_created()
{
    added_ = false;
    told_ = false;
    if (icon_) {
        NOTIFYICONDATAA d = data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
        added_ = area_.notify(NIM_ADD, d);
        told_ = added_;
    }
}

}  // namespace kivo::notify
