#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "ui/callback_guard.h"
#include "ui/tabbed_sheet.h"
#include "win32/dialog_script.h"
#include "win32/dialog_test_ids.h"

using kivo::test::DialogScript;
using kivo::ui::SheetPage;
using kivo::ui::TabbedSheet;

namespace {

HINSTANCE module()
{
    return GetModuleHandleA(nullptr);
}

class Page : public SheetPage {
public:
    int number = 0;
    std::vector<int>* applied = nullptr;
    int shows = 0;
    bool refuse_leave = false;
    int refuse_applies = 0;
    bool throw_on_show = false;

protected:
    void on_show() override
    {
        if (throw_on_show)
            throw std::runtime_error("show failed");
        ++shows;
    }
    bool on_leave() override { return !refuse_leave; }
    bool on_apply() override
    {
        if (refuse_applies > 0) {
            --refuse_applies;
            return false;
        }
        applied->push_back(number);
        return true;
    }
};

bool visible(const Page& page)
{
    return page.hwnd() && IsWindowVisible(page.hwnd());
}

// Chooses a tab the way a click does: with the tab control's notifications.
void click_tab(TabbedSheet& sheet, int index)
{
    RECT area{};
    TabCtrl_GetItemRect(sheet.tab_control(), index, &area);
    LPARAM at = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    SendMessageA(sheet.tab_control(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(sheet.tab_control(), WM_LBUTTONUP, 0, at);
}

// Moves the tab control's focus, which selects the tab as well.
void focus_tab(TabbedSheet& sheet, int index)
{
    TabCtrl_SetCurFocus(sheet.tab_control(), index);
}

}  // namespace

TEST_CASE("a tabbed sheet shows the chosen tab's page and applies the pages that were shown")
{
    std::vector<int> applied;
    Page pages[3];
    TabbedSheet sheet(IDC_TABS);
    const char* titles[3] = {"Power", "Friends", "From"};
    for (int i = 0; i < 3; ++i) {
        pages[i].number = i;
        pages[i].applied = &applied;
        sheet.add_page(pages[i], {module(), IDD_TAB_PAGE, titles[i]});
    }
    // Not tab order: the apply order is the sheet's own.
    sheet.set_apply_order({2, 1, 0});

    bool page_inside_tabs = false;
    DialogScript script;
    script.then([&] {
        CHECK(TabCtrl_GetItemCount(sheet.tab_control()) == 3);
        CHECK(sheet.current_page() == 0);
        CHECK(visible(pages[0]));
        CHECK(!pages[1].was_shown());
        RECT tabs{}, page{};
        GetWindowRect(sheet.tab_control(), &tabs);
        GetWindowRect(pages[0].hwnd(), &page);
        page_inside_tabs = page.left >= tabs.left && page.top > tabs.top && page.right <= tabs.right &&
                           page.bottom <= tabs.bottom && page.right > page.left;
        click_tab(sheet, 2);
    });
    script.then([&] {
        CHECK(sheet.current_page() == 2);
        CHECK(visible(pages[2]));
        CHECK(!visible(pages[0]));
        CHECK(pages[2].shows == 1);
    });

    SUBCASE("OK applies the shown pages in the apply order")
    {
        script.then([&] { SendMessageA(GetDlgItem(sheet.hwnd(), IDOK), BM_CLICK, 0, 0); });
        script.start();
        CHECK(sheet.run_modal({module(), IDD_TABBED, nullptr}) == IDOK);
        CHECK(applied == std::vector<int>{2, 0});
    }
    SUBCASE("a page that refuses to be left keeps its tab, however the tab was chosen")
    {
        script.then([&] {
            pages[2].refuse_leave = true;
            click_tab(sheet, 1);
        });
        script.then([&] {
            CHECK(sheet.current_page() == 2);
            CHECK(TabCtrl_GetCurSel(sheet.tab_control()) == 2);
            focus_tab(sheet, 0);
        });
        script.then([&] {
            CHECK(sheet.current_page() == 2);
            CHECK(TabCtrl_GetCurSel(sheet.tab_control()) == 2);
            CHECK(!pages[1].was_shown());
            // Nor can OK take the user off it.
            SendMessageA(GetDlgItem(sheet.hwnd(), IDOK), BM_CLICK, 0, 0);
        });
        script.then([&] {
            CHECK(IsWindow(sheet.hwnd()));
            CHECK(applied.empty());
            pages[2].refuse_leave = false;
            SendMessageA(GetDlgItem(sheet.hwnd(), IDOK), BM_CLICK, 0, 0);
        });
        script.start();
        CHECK(sheet.run_modal({module(), IDD_TABBED, nullptr}) == IDOK);
        CHECK(applied == std::vector<int>{2, 0});
    }
    SUBCASE("a page that refuses to apply is brought forward and the sheet stays")
    {
        pages[0].refuse_applies = 1;
        script.then([&] { SendMessageA(GetDlgItem(sheet.hwnd(), IDOK), BM_CLICK, 0, 0); });
        script.then([&] {
            CHECK(IsWindow(sheet.hwnd()));
            CHECK(sheet.current_page() == 0);
            CHECK(TabCtrl_GetCurSel(sheet.tab_control()) == 0);
            CHECK(visible(pages[0]));
            CHECK(!visible(pages[2]));
            SendMessageA(GetDlgItem(sheet.hwnd(), IDOK), BM_CLICK, 0, 0);
        });
        script.start();
        CHECK(sheet.run_modal({module(), IDD_TABBED, nullptr}) == IDOK);
        // The first attempt applied page 2 before page 0 refused.
        CHECK(applied == std::vector<int>{2, 2, 0});
    }
    SUBCASE("Ctrl+Tab turns to the next page, Ctrl+Shift+Tab to the previous one")
    {
        BYTE keys[256] = {};
        BYTE saved[256] = {};
        auto with_keys = [&](bool shift) {
            GetKeyboardState(saved);
            std::copy(std::begin(saved), std::end(saved), std::begin(keys));
            keys[VK_CONTROL] = 0x80;
            keys[VK_SHIFT] = shift ? 0x80 : 0;
            SetKeyboardState(keys);
            PostMessageA(GetDlgItem(pages[2].hwnd(), IDC_TAB_TEXT), WM_KEYDOWN, VK_TAB, 1);
        };
        int after_tab = -1, after_shift_tab = -1;
        script.then([&] {
            SetFocus(GetDlgItem(pages[2].hwnd(), IDC_TAB_TEXT));
            with_keys(false);
        });
        script.then([&] {
            SetKeyboardState(saved);
            after_tab = sheet.current_page();
            click_tab(sheet, 2);
        });
        script.then([&] {
            SetFocus(GetDlgItem(pages[2].hwnd(), IDC_TAB_TEXT));
            with_keys(true);
        });
        script.then([&] {
            SetKeyboardState(saved);
            after_shift_tab = sheet.current_page();
            SendMessageA(GetDlgItem(sheet.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
        });
        script.start();
        CHECK(sheet.run_modal({module(), IDD_TABBED, nullptr}) == IDCANCEL);
        // From the last page round to the first, and back from the last to
        // the one before it.
        CHECK(after_tab == 0);
        CHECK(after_shift_tab == 1);
    }
    SUBCASE("Cancel applies nothing")
    {
        script.then([&] { SendMessageA(GetDlgItem(sheet.hwnd(), IDCANCEL), BM_CLICK, 0, 0); });
        script.start();
        CHECK(sheet.run_modal({module(), IDD_TABBED, nullptr}) == IDCANCEL);
        CHECK(applied.empty());
    }
    SUBCASE("an exception in a page's hook ends the sheet and is re-raised")
    {
        pages[1].throw_on_show = true;
        script.then([&] { click_tab(sheet, 1); });
        script.start();
        CHECK_THROWS_WITH_AS(sheet.run_modal({module(), IDD_TABBED, nullptr}), "show failed", std::runtime_error);
        CHECK(!kivo::ui::has_parked_exception());
        CHECK(sheet.hwnd() == nullptr);
    }
    CHECK(script.all_run());
    CHECK(!script.step_failed());
    CHECK(page_inside_tabs);
    CHECK(sheet.current_page() == -1);
    for (Page& page : pages)
        CHECK(page.hwnd() == nullptr);
}
