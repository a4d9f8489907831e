#include <doctest/doctest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "views/columns_dialog.h"
#include "views/show_header_dialog.h"
#include "views_fixture.h"
#include "win32/resource_pixels.h"

using kivo::test::PanesFixture;

namespace {

void click(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))); }

bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void select_row(HWND dialog, int row)
{
    HWND list = GetDlgItem(dialog, IDC_COLUMN_LIST);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_COLUMN_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::vector<std::string> names(const kivo::ColumnLayout& layout)
{
    std::vector<std::string> out;
    for (const auto& record : layout.records())
        out.push_back(record.name + (record.show ? "" : "-"));
    return out;
}

}  // namespace

TEST_CASE("views: the Columns dialog's buttons follow the selection; OK takes its list")
{
    kivo::test::delete_test_registry();
    kivo::ColumnLayout layout = kivo::ColumnLayout::messages(PanesFixture::kRoot);
    kivo::views::ColumnsDialog dialog(layout);
    dialog.create_modeless({GetModuleHandleA(nullptr), IDD_COLUMNS, nullptr});
    HWND hwnd = dialog.hwnd();
    REQUIRE(hwnd);
    CHECK_FALSE(enabled(hwnd, IDC_COLUMN_MOVE_UP));  // the first is selected
    CHECK(enabled(hwnd, IDC_COLUMN_MOVE_DOWN));
    CHECK_FALSE(enabled(hwnd, IDC_COLUMN_SHOW));
    CHECK(enabled(hwnd, IDC_COLUMN_HIDE));
    CHECK(GetDlgItemInt(hwnd, IDC_COLUMN_WIDTH, nullptr, FALSE) == 180);

    click(hwnd, IDC_COLUMN_MOVE_DOWN);  // "From" below "Subject"
    CHECK(dialog.selected() == 1);
    CHECK(enabled(hwnd, IDC_COLUMN_MOVE_UP));
    click(hwnd, IDC_COLUMN_HIDE);
    CHECK(enabled(hwnd, IDC_COLUMN_SHOW));
    CHECK_FALSE(enabled(hwnd, IDC_COLUMN_HIDE));
    select_row(hwnd, 5);
    CHECK_FALSE(enabled(hwnd, IDC_COLUMN_MOVE_DOWN));
    // A pasted huge number is no width; a plain one is.
    SetDlgItemTextA(hwnd, IDC_COLUMN_WIDTH, "99999999999999999999");
    CHECK(dialog.columns()[5].cx == 94);
    SetDlgItemTextA(hwnd, IDC_COLUMN_WIDTH, "4294967396");
    CHECK(dialog.columns()[5].cx == 94);
    SetDlgItemTextA(hwnd, IDC_COLUMN_WIDTH, "120");
    CHECK(dialog.columns()[5].cx == 120);
    CHECK(names(layout)[0] == "From");  // nothing taken before OK

    SUBCASE("OK")
    {
        click(hwnd, IDOK);
        CHECK(names(layout) == std::vector<std::string>{"Subject", "From-", "Priority", "Date", "Attach", "Size"});
        CHECK(layout.records()[5].cx == 120);
        CHECK(layout.records()[1].order == 1);
    }
    SUBCASE("Reset, then OK")
    {
        click(hwnd, IDC_COLUMN_RESET);
        CHECK(dialog.selected() == 0);
        click(hwnd, IDOK);
        CHECK(names(layout) == std::vector<std::string>{"From", "Subject", "Priority", "Date", "Attach", "Size"});
        CHECK(layout.records()[5].cx == 94);
    }
    CHECK_FALSE(IsWindow(hwnd));
}

TEST_CASE("views: a customised layout is applied to the list and kept")
{
    PanesFixture fixture;
    auto& records = const_cast<kivo::ColumnLayout&>(fixture.messages().layout()).records();
    records[1].show = false;  // "Subject"
    fixture.messages().apply_layout();
    fixture.panes().save();
    fixture.recreate();
    kivo::ui::ListView list(fixture.messages().hwnd());
    CHECK(list.column_count() == 5);
    CHECK(list.column_title(1).empty());  // "Priority" follows "From"
}

TEST_CASE("views: header lines end in CR LF for the edit control")
{
    CHECK(kivo::views::edit_control_lines("a\nb\r\nc\rd") == "a\r\nb\r\nc\r\nd");
    CHECK(kivo::views::edit_control_lines("").empty());
}

TEST_CASE("views: a shot of the panes for the eye")
{
    const char* dir = std::getenv("KIVO_SHOTS_DIR");
    if (!dir || !*dir)
        return;
    std::string path = dir;
    if (path[0] == '/')
        path = "Z:" + path;
    CreateDirectoryA(path.c_str(), nullptr);
    PanesFixture fixture;
    kivo::Account& first = fixture.add_account("Work", "me", "pop.example.org", 4);
    fixture.add_account("Home", "me", "mail.example.net", 1);
    first.messages()[0]->set_seen();
    first.messages()[1]->mark_deleted();
    first.messages()[2]->set_spammer(true);
    first.messages().push_back(kivo::test::make_shared_message(
        "A very long sender name that cannot fit in the column <long@example.org>",
        "A subject far too long for its column as well, to see the dots", 2500000, "X-Priority: 1\n"));
    fixture.accounts().select(0);
    fixture.messages().show(&first);
    kivo::ui::ListView(fixture.messages().hwnd()).select(2);
    kivo::ui::ListView(fixture.messages().hwnd()).focus_item(2);
    for (int i = 0; i < 20; ++i) {
        RedrawWindow(fixture.window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        kivo::test::pump_messages();
        Sleep(25);  // lets the X server draw; the shot is for the eye only
    }
    RECT r;
    GetWindowRect(fixture.window(), &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    kivo::test::DibSection shot = kivo::test::create_dib_section(w, h);
    kivo::ui::BitmapHandle owner(shot.bitmap);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, shot.bitmap);
    HDC screen = GetDC(nullptr);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    SelectObject(memory, old);
    DeleteDC(memory);
    CHECK(kivo::test::save_bitmap(shot.bitmap, (path + "/panes.bmp").c_str()));
}
