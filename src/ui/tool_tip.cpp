#include "ui/tool_tip.h"

#include <cstddef>
#include <system_error>

namespace kivo::ui {
namespace {

// The structure size every common-controls version accepts; the later
// fields are not used here.
constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);

TTTOOLINFOA tool_info(HWND window, UINT_PTR id, const std::string* text)
{
    TTTOOLINFOA info{};
    info.cbSize = kToolInfoSize;
    info.hwnd = window;
    info.uId = id;
    info.lpszText = text ? const_cast<char*>(text->c_str()) : nullptr;
    return info;
}

}  // namespace

ToolTip ToolTip::create(HWND owner)
{
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE)), nullptr);
    if (!hwnd)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateWindowEx");
    return ToolTip(hwnd);
}

bool ToolTip::add_tool(HWND window, UINT_PTR id, const RECT& area, const std::string& text) const
{
    TTTOOLINFOA info = tool_info(window, id, &text);
    info.uFlags = TTF_SUBCLASS;
    info.rect = area;
    return send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

bool ToolTip::add_window_tool(HWND window, const std::string& text) const
{
    TTTOOLINFOA info = tool_info(GetParent(window), reinterpret_cast<UINT_PTR>(window), &text);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    return send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void ToolTip::remove_tool(HWND window, UINT_PTR id) const
{
    TTTOOLINFOA info = tool_info(window, id, nullptr);
    send(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::set_tool_text(HWND window, UINT_PTR id, const std::string& text) const
{
    TTTOOLINFOA info = tool_info(window, id, &text);
    send(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace kivo::ui
