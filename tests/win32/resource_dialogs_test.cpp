#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "app/resource_ids.h"

// The dialog templates of kivo.exe, made hidden from the program's own
// resources: controls, styles, tab order, mnemonics and whether every text
// fits its control.

namespace {

INT_PTR CALLBACK quiet_procedure(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct Dialog {
    HWND hwnd;
    explicit Dialog(int id)
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, quiet_procedure, 0);
        REQUIRE(hwnd);
    }
    ~Dialog() { DestroyWindow(hwnd); }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
};

std::string text_of(HWND window)
{
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string class_of(HWND window)
{
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

LONG style_of(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

std::vector<HWND> children(HWND dialog)
{
    std::vector<HWND> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back(c);
    return out;
}

// The ids met by Tab from the first tab stop until it comes round again.
std::vector<int> tab_order(HWND dialog)
{
    std::vector<int> ids;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND c = first; c; c = GetNextDlgTabItem(dialog, c, FALSE)) {
        ids.push_back(GetDlgCtrlID(c));
        if (GetNextDlgTabItem(dialog, c, FALSE) == first || ids.size() > 50)
            break;
    }
    return ids;
}

// Texts of buttons and labels fit inside their controls in the dialog's font;
// no two controls overlap; each mnemonic is used once.
void check_layout(HWND dialog)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, font);
    RECT client;
    GetClientRect(dialog, &client);
    std::set<char> mnemonics;
    std::vector<RECT> placed;
    for (HWND c : children(dialog)) {
        std::string text = text_of(c), cls = class_of(c);
        INFO("control " << GetDlgCtrlID(c) << " \"" << text << "\"");
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        CHECK(r.left >= client.left);
        CHECK(r.top >= client.top);
        CHECK(r.right <= client.right);
        CHECK(r.bottom <= client.bottom);
        for (const RECT& other : placed) {
            RECT both;
            CHECK(!IntersectRect(&both, &r, &other));
        }
        placed.push_back(r);
        if (cls != "Button" && cls != "Static")
            continue;
        std::string shown;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '&' && i + 1 < text.size()) {
                CHECK(mnemonics.insert(static_cast<char>(std::tolower(text[i + 1]))).second);
                continue;
            }
            shown += text[i];
        }
        SIZE extent{};
        GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
        int margin = cls == "Button" ? 2 * GetSystemMetrics(SM_CXEDGE) + 4 : 0;
        CHECK(extent.cx + margin <= r.right - r.left);
        CHECK(extent.cy <= r.bottom - r.top);
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
}

}  // namespace

TEST_CASE("the main window's template is an empty sizable window of 375 x 242 units")
{
    Dialog main(IDD_MAIN);
    CHECK(!IsWindowVisible(main.hwnd));
    CHECK(text_of(main.hwnd) == "Kivo Email Checker");
    LONG style = style_of(main.hwnd);
    CHECK((style & WS_THICKFRAME));
    CHECK((style & WS_MINIMIZEBOX));
    CHECK((style & WS_SYSMENU));
    CHECK((style & WS_CHILD) == 0);
    CHECK(GetWindow(main.hwnd, GW_CHILD) == nullptr);
    RECT expected{0, 0, 375, 242};
    MapDialogRect(main.hwnd, &expected);
    RECT client;
    GetClientRect(main.hwnd, &client);
    CHECK(client.right == expected.right);
    CHECK(client.bottom == expected.bottom);
}

TEST_CASE("\"Show header\" holds a read-only wrapping text and Close")
{
    Dialog header(IDD_SHOW_HEADER);
    CHECK(text_of(header.hwnd) == "Show header");
    HWND text = GetDlgItem(header.hwnd, IDC_HEADER_TEXT);
    REQUIRE(text);
    CHECK(class_of(text) == "Edit");
    LONG style = style_of(text);
    CHECK((style & ES_MULTILINE));
    CHECK((style & ES_READONLY));
    CHECK((style & WS_VSCROLL));
    // Soft line breaks: no horizontal scrolling.
    CHECK((style & ES_AUTOHSCROLL) == 0);
    CHECK((style & WS_HSCROLL) == 0);
    CHECK(text_of(GetDlgItem(header.hwnd, IDCANCEL)) == "Close");
    CHECK(tab_order(header.hwnd) == std::vector<int>{IDC_HEADER_TEXT, IDCANCEL});
    check_layout(header.hwnd);
}

TEST_CASE("\"Columns\" holds the list, its buttons and the width field in a sensible order")
{
    Dialog columns(IDD_COLUMNS);
    CHECK(text_of(columns.hwnd) == "Columns");
    struct Expected {
        int id;
        const char* cls;
        const char* text;
    };
    for (Expected e : {Expected{IDC_COLUMN_LIST, "ListBox", ""}, Expected{IDC_COLUMN_MOVE_UP, "Button", "Move &Up"},
                       Expected{IDC_COLUMN_MOVE_DOWN, "Button", "Move &Down"},
                       Expected{IDC_COLUMN_SHOW, "Button", "&Show"}, Expected{IDC_COLUMN_HIDE, "Button", "&Hide"},
                       Expected{IDC_COLUMN_RESET, "Button", "&Reset"}, Expected{IDC_COLUMN_WIDTH, "Edit", ""},
                       Expected{IDOK, "Button", "OK"}, Expected{IDCANCEL, "Button", "Cancel"}}) {
        INFO("control " << e.id);
        HWND c = GetDlgItem(columns.hwnd, e.id);
        REQUIRE(c);
        CHECK(class_of(c) == e.cls);
        CHECK(text_of(c) == e.text);
    }
    HWND list = GetDlgItem(columns.hwnd, IDC_COLUMN_LIST);
    CHECK((style_of(list) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) == 0);
    CHECK((style_of(list) & LBS_NOTIFY));
    CHECK((style_of(GetDlgItem(columns.hwnd, IDC_COLUMN_WIDTH)) & ES_NUMBER));

    // The width field sits between its two words.
    std::string before, after;
    RECT field;
    GetWindowRect(GetDlgItem(columns.hwnd, IDC_COLUMN_WIDTH), &field);
    for (HWND c : children(columns.hwnd)) {
        if (class_of(c) != "Static")
            continue;
        RECT r;
        GetWindowRect(c, &r);
        (r.right <= field.left ? before : after) = text_of(c);
    }
    CHECK(before == "The &wide of selected column should be");
    CHECK(after == "pixels.");

    CHECK(tab_order(columns.hwnd) == std::vector<int>{IDC_COLUMN_LIST, IDC_COLUMN_MOVE_UP, IDC_COLUMN_MOVE_DOWN,
                                                      IDC_COLUMN_SHOW, IDC_COLUMN_HIDE, IDC_COLUMN_RESET,
                                                      IDC_COLUMN_WIDTH, IDOK, IDCANCEL});
    check_layout(columns.hwnd);
}

TEST_CASE("\"Log\" holds a report list and Close")
{
    Dialog log(IDD_LOG);
    CHECK(text_of(log.hwnd) == "Log");
    HWND list = GetDlgItem(log.hwnd, IDC_LOG_LIST);
    REQUIRE(list);
    CHECK(class_of(list) == "SysListView32");
    CHECK((style_of(list) & LVS_TYPEMASK) == LVS_REPORT);
    CHECK(text_of(GetDlgItem(log.hwnd, IDCANCEL)) == "Close");
    CHECK(tab_order(log.hwnd) == std::vector<int>{IDC_LOG_LIST, IDCANCEL});
    check_layout(log.hwnd);
}
