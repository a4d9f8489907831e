#include "views/preview_pane.h"

#include "app/resource_ids.h"
#include "appcore/pane_texts.h"
#include "message/message.h"
#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/control.h"
#include "ui/image_list.h"
#include "ui/menu.h"

#include <algorithm>
#include "views/list_messages.h"
#include "views/show_header_dialog.h"

namespace kivo::views {
namespace {

constexpr int kButtonSize = PREVIEW_ATTACH_SIZE + 6;

}  // namespace

PreviewPane::PreviewPane() = default;

PreviewPane::~PreviewPane() { destroy(); }

void PreviewPane::create(HINSTANCE module, HWND parent)
{
    ui::WindowClass::Options options;
    options.background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    class_ = std::make_unique<ui::WindowClass>(module, options);
    menu_brush_.reset(CreateSolidBrush(GetSysColor(COLOR_MENU)));
    CreateArgs args;
    args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    args.ex_style = WS_EX_CONTROLPARENT;
    args.parent = parent;
    args.x = 0;
    args.y = 0;
    args.width = 100;
    args.height = 100;
    Window::create(*class_, args);
    header_ = ui::create_control("EDIT", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, hwnd(), 1, RECT{});
    body_ = ui::create_control("EDIT",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                   ES_AUTOVSCROLL,
                               hwnd(), 2, RECT{}, "", WS_EX_CLIENTEDGE);
    button_ = ui::create_control("BUTTON", WS_CHILD | BS_PUSHBUTTON | BS_ICON, hwnd(), kAttachButton, RECT{});
    ui::ImageList strip = ui::ImageList::from_bitmap_strip(module, IDB_PREVIEW_ATTACH, PREVIEW_ATTACH_SIZE,
                                                           PREVIEW_ATTACH_MASK_COLOUR);
    if (strip && strip.count() > 0) {
        attach_icon_ = strip.icon(0);
        SendMessageA(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(attach_icon_.get()));
    }
    lay_out();
}

void PreviewPane::lay_out()
{
    if (!hwnd())
        return;
    RECT client{};
    GetClientRect(hwnd(), &client);
    const bool button = IsWindowVisible(button_) != FALSE;
    const int header_right = client.right - (button ? kButtonSize + 4 : 0);
    MoveWindow(header_, 4, 2, std::max<int>(header_right - 6, 0), kHeaderHeight - 4, TRUE);
    MoveWindow(button_, client.right - kButtonSize - 2, 0, kButtonSize, kButtonSize, TRUE);
    const int body_top = std::max(kHeaderHeight, button ? kButtonSize + 2 : 0);
    MoveWindow(body_, 0, body_top, client.right, std::max<int>(client.bottom - body_top, 0), TRUE);
}

void PreviewPane::show(const Message* message)
{
    if (!hwnd())
        return;
    attachments_.clear();
    if (!message) {
        SetWindowTextA(header_, "");
        SetWindowTextA(body_, "");
        ShowWindow(button_, SW_HIDE);
        lay_out();
        return;
    }
    std::string header = preview_header_text(platform::message_text(MSG_COL_FROM), message->from(),
                                             platform::message_text(MSG_PREVIEW_TO), message->to(),
                                             platform::message_text(MSG_COL_SUBJECT), message->subject());
    SetWindowTextA(header_, header.c_str());
    SetWindowTextA(body_, edit_control_lines(message->body_text()).c_str());
    attachments_ = message->attachment_names();
    ShowWindow(button_, message->has_attachment() ? SW_SHOW : SW_HIDE);
    lay_out();
}

std::string PreviewPane::header_text() const { return ui::Control(header_).text(); }

std::string PreviewPane::body_text() const { return ui::Control(body_).text(); }

bool PreviewPane::attach_button_visible() const { return IsWindowVisible(button_) != FALSE; }

int PreviewPane::scroll_line() const
{
    return static_cast<int>(SendMessageA(body_, EM_GETFIRSTVISIBLELINE, 0, 0));
}

void PreviewPane::set_scroll_line(int line)
{
    int now = scroll_line();
    SendMessageA(body_, EM_LINESCROLL, 0, line - now);
}

void PreviewPane::set_font(HFONT font)
{
    SendMessageA(header_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(body_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

UINT PreviewPane::attachment_menu()
{
    ui::PopupMenu menu;
    UINT id = 1;
    for (const std::string& name : attachments_)
        menu.append(id++, name);
    if (attachments_.empty())
        return 0;
    RECT button{};
    GetWindowRect(button_, &button);
    return menu.choose(hwnd(), POINT{button.right, button.bottom});
}

LRESULT PreviewPane::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_SIZE:
        lay_out();
        return 0;
    case WM_CTLCOLORSTATIC:
        // The header area (a read-only edit) on the menu colour.
        if (reinterpret_cast<HWND>(lparam) == header_) {
            HDC dc = reinterpret_cast<HDC>(wparam);
            SetBkColor(dc, GetSysColor(COLOR_MENU));
            SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
            return reinterpret_cast<LRESULT>(menu_brush_.get());
        }
        break;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(hwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wparam), &client, menu_brush_.get());
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == kAttachButton) {
            attachment_menu();  // choosing a name does nothing
            return 0;
        }
        break;
    default:
        break;
    }
    return default_handling(message, wparam, lparam);
}

}  // namespace kivo::views
