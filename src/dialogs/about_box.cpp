#include "dialogs/about_box.h"

#include <windows.h>
#include <shellapi.h>

#include "dialogs/dialog_ids.h"
#include "ui/dialog.h"
#include "ui/handles.h"
#include "ui/version_info.h"

namespace kivo::dialogs {
namespace {

constexpr COLORREF kLinkColour = RGB(128, 0, 128);

class AboutBox : public ui::Dialog {
public:
    explicit AboutBox(const AboutArgs& args) : args_(args) {}

protected:
    bool on_init() override
    {
        HMODULE module = args_.module ? args_.module : GetModuleHandleA(nullptr);
        SetDlgItemTextA(hwnd(), IDC_ABOUT_PRODUCT, ui::version_value(module, "ProductName").c_str());
        SetDlgItemTextA(hwnd(), IDC_ABOUT_VERSION, ui::version_value(module, "ProductVersion").c_str());
        SetDlgItemTextA(hwnd(), IDC_ABOUT_COPYRIGHT, ui::version_value(module, "LegalCopyright").c_str());
        SetDlgItemTextA(hwnd(), IDC_ABOUT_HOME, kHomePage);
        SetDlgItemTextA(hwnd(), IDC_ABOUT_SUPPORT, kSupportAddress);
        LOGFONTA plain{};
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
        if (font && GetObjectA(font, sizeof plain, &plain) == sizeof plain) {
            plain.lfUnderline = TRUE;
            underlined_.reset(CreateFontIndirectA(&plain));
        }
        return true;
    }

    bool on_command(int id, int code, HWND) override
    {
        if (code != STN_CLICKED || (id != IDC_ABOUT_HOME && id != IDC_ABOUT_SUPPORT))
            return false;
        std::string target = id == IDC_ABOUT_HOME ? std::string(kHomePage) : "mailto:" + std::string(kSupportAddress);
        if (args_.open)
            args_.open(target);
        else
            ShellExecuteA(hwnd(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return true;
    }

    bool on_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override
    {
        if (message == WM_CTLCOLORSTATIC) {
            int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
            if (id != IDC_ABOUT_HOME && id != IDC_ABOUT_SUPPORT)
                return false;
            HDC dc = reinterpret_cast<HDC>(wparam);
            SetTextColor(dc, kLinkColour);
            SetBkMode(dc, TRANSPARENT);
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
            return true;
        }
        if (message == WM_SETCURSOR) {
            int id = GetDlgCtrlID(reinterpret_cast<HWND>(wparam));
            bool link = id == IDC_ABOUT_HOME || id == IDC_ABOUT_SUPPORT;
            hover(link ? id : 0);
            if (link) {
                SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
                result = TRUE;
                return true;
            }
        }
        return false;
    }

public:
    int hovered() const { return hovered_; }

private:
    // Underlines the link under the mouse; the plain font comes back when it leaves.
    void hover(int id)
    {
        if (id == hovered_)
            return;
        HFONT plain = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
        if (hovered_)
            SendDlgItemMessageA(hwnd(), hovered_, WM_SETFONT, reinterpret_cast<WPARAM>(plain), TRUE);
        if (id && underlined_)
            SendDlgItemMessageA(hwnd(), id, WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.get()), TRUE);
        hovered_ = id;
    }

    const AboutArgs& args_;
    ui::FontHandle underlined_;
    int hovered_ = 0;
};

}  // namespace

void show_about(const AboutArgs& args)
{
    AboutBox box(args);
    box.run_modal({args.module, IDD_ABOUT, args.owner});
}

}  // namespace kivo::dialogs
