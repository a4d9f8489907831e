#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/control.h"
#include "ui/edit.h"
#include "ui/list_box.h"
#include "ui/status_bar.h"
#include "ui/tab_control.h"
#include "ui/tool_bar.h"
#include "ui/tool_tip.h"
#include "ui/up_down.h"

using kivo::test::TestParent;
using kivo::ui::create_control;

namespace {

const std::string kLong = std::string(600, 'a') + "z";

}  // namespace

TEST_CASE("combo boxes and list boxes keep texts of any length, data and selections")
{
    TestParent parent;

    SUBCASE("combo box")
    {
        kivo::ui::ComboBox combo(create_control("COMBOBOX", WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL,
                                                parent.hwnd(), 20, RECT{10, 10, 200, 200}));
        CHECK(combo.add("first") == 0);
        CHECK(combo.add(kLong) == 1);
        CHECK(combo.insert(0, "zeroth") == 0);
        CHECK(combo.count() == 3);
        CHECK(combo.item_text(2) == kLong);
        CHECK(combo.item_text(0) == "zeroth");
        CHECK(combo.item_text(3).empty());
        CHECK(combo.item_text(-1).empty());
        combo.set_item_data(1, 77);
        CHECK(combo.item_data(1) == 77);
        CHECK(combo.find_exact("first") == 1);
        CHECK(combo.find_exact("missing") == -1);
        CHECK(combo.selection() == -1);
        combo.select(2);
        CHECK(combo.selection() == 2);
        CHECK(combo.text() == kLong);
        combo.remove(0);
        CHECK(combo.count() == 2);
        CHECK(combo.item_data(0) == 77);
        combo.clear();
        CHECK(combo.count() == 0);
        CHECK(combo.selection() == -1);
    }
    SUBCASE("list box with several selected rows")
    {
        kivo::ui::ListBox list(create_control("LISTBOX", WS_VISIBLE | LBS_EXTENDEDSEL | LBS_NOTIFY | WS_VSCROLL,
                                              parent.hwnd(), 21, RECT{10, 10, 200, 200}));
        for (const char* text : {"one", "two", "three", "four"})
            list.add(text);
        CHECK(list.insert(1, kLong) == 1);
        CHECK(list.count() == 5);
        CHECK(list.item_text(1) == kLong);
        CHECK(list.item_text(9).empty());
        CHECK(list.selected_rows().empty());
        list.set_selected(0, true);
        list.set_selected(3, true);
        CHECK(list.is_selected(3));
        CHECK(!list.is_selected(2));
        CHECK(list.selected_rows() == std::vector<int>{0, 3});
        list.set_selected(-1, false);
        CHECK(list.selected_rows().empty());
        list.set_item_data(4, 5);
        CHECK(list.item_data(4) == 5);
        CHECK(list.find_exact("four") == 4);
    }
    SUBCASE("single-selection list box")
    {
        kivo::ui::ListBox list(
            create_control("LISTBOX", WS_VISIBLE | LBS_NOTIFY, parent.hwnd(), 22, RECT{10, 10, 200, 200}));
        list.add("a");
        list.add("b");
        CHECK(list.selection() == -1);
        list.select(1);
        CHECK(list.selection() == 1);
        list.remove(1);
        CHECK(list.selection() == -1);
    }
}

TEST_CASE("an edit with an up-down buddy keeps its number within the range")
{
    TestParent parent;
    kivo::ui::Edit edit(create_control("EDIT", WS_VISIBLE | ES_NUMBER, parent.hwnd(), 30, RECT{10, 10, 80, 30}, "",
                                       WS_EX_CLIENTEDGE));
    kivo::ui::UpDown spin(create_control(UPDOWN_CLASSA,
                                         WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS |
                                             UDS_NOTHOUSANDS,
                                         parent.hwnd(), 31, RECT{80, 10, 100, 30}));
    spin.set_buddy(edit.hwnd());
    CHECK(spin.buddy() == edit.hwnd());
    spin.set_range(10, 2000);
    CHECK(spin.range() == std::pair<int, int>{10, 2000});

    spin.set_position(1216);
    CHECK(spin.position() == 1216);
    CHECK(edit.text() == "1216");
    spin.set_position(99999);
    CHECK(spin.position() == 2000);
    spin.set_position(-5);
    CHECK(spin.position() == 10);

    // A number typed into the buddy is what the control reports.
    edit.set_text("345");
    CHECK(spin.position() == 345);
    edit.set_text("");
    CHECK(!spin.position().has_value());

    SUBCASE("edit texts, limits and selection")
    {
        kivo::ui::Edit text(create_control("EDIT", WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, parent.hwnd(), 32,
                                           RECT{10, 40, 300, 120}));
        text.set_limit(5000);
        CHECK(text.limit() == 5000);
        std::string lines;
        for (int i = 0; i < 40; ++i)
            lines += "line " + std::to_string(i) + "\r\n";
        CHECK(text.set_text(lines));
        CHECK(text.text() == lines);
        CHECK(text.line_count() == 41);
        text.select(5, 6);
        CHECK(text.selection() == std::pair<int, int>{5, 6});
        text.replace_selection("X");
        CHECK(text.text().substr(0, 8) == "line X\r\n");
        text.set_modified(false);
        CHECK(!text.is_modified());
        text.set_modified(true);
        CHECK(text.is_modified());
        text.select_all();
        CHECK(text.selection().second == static_cast<int>(text.text().size()));
        text.set_read_only(true);
        CHECK((GetWindowLongPtrA(text.hwnd(), GWL_STYLE) & ES_READONLY) != 0);
    }
}

TEST_CASE("buttons report clicks to their parent and check boxes keep three states")
{
    TestParent parent;
    kivo::ui::Button push(
        create_control("BUTTON", WS_VISIBLE | BS_PUSHBUTTON, parent.hwnd(), 40, RECT{10, 10, 90, 35}, "OK"));
    kivo::ui::CheckBox check(create_control("BUTTON", WS_VISIBLE | BS_AUTO3STATE, parent.hwnd(), 41,
                                            RECT{10, 40, 150, 60}, "Flash"));
    push.click();
    REQUIRE(parent.commands.size() == 1);
    CHECK(parent.commands[0].id == 40);
    CHECK(parent.commands[0].code == BN_CLICKED);
    CHECK(push.id() == 40);
    CHECK(push.text() == "OK");

    CHECK(!check.is_checked());
    check.click();
    CHECK(check.is_checked());
    check.set_state(BST_INDETERMINATE);
    CHECK(check.state() == BST_INDETERMINATE);
    CHECK(!check.is_checked());
    check.set_checked(false);
    CHECK(check.state() == BST_UNCHECKED);

    check.enable(false);
    CHECK(!check.is_enabled());
    check.show(SW_HIDE);
    CHECK(!check.is_visible());
    CHECK(kivo::ui::Control(parent.hwnd(), 41).hwnd() == check.hwnd());
    CHECK(!kivo::ui::Control(parent.hwnd(), 4242));
}

TEST_CASE("tab, status bar, toolbar and tooltip")
{
    TestParent parent(500, 300);

    SUBCASE("tab control")
    {
        kivo::ui::TabControl tabs(
            create_control(WC_TABCONTROLA, WS_VISIBLE, parent.hwnd(), 50, RECT{10, 10, 400, 200}));
        CHECK(tabs.add("Accounts") == 0);
        CHECK(tabs.add(kLong) == 1);
        CHECK(tabs.insert(0, "General") == 0);
        CHECK(tabs.count() == 3);
        CHECK(tabs.item_text(2) == kLong);
        CHECK(tabs.item_text(0) == "General");
        tabs.select(1);
        CHECK(tabs.selection() == 1);
        RECT page = tabs.display_rect(tabs.rect_in_parent());
        CHECK(page.top > 10);
        CHECK(page.bottom < 200);
        CHECK(tabs.remove(0));
        CHECK(tabs.item_text(0) == "Accounts");
        tabs.clear();
        CHECK(tabs.count() == 0);
    }
    SUBCASE("status bar parts")
    {
        kivo::ui::StatusBar status(
            create_control(STATUSCLASSNAMEA, WS_VISIBLE | SBARS_SIZEGRIP, parent.hwnd(), 51, RECT{}));
        CHECK(status.set_parts({100, 250, -1}));
        CHECK(status.part_count() == 3);
        CHECK(status.set_part_text(0, "Create a new account"));
        CHECK(status.set_part_text(2, kLong));
        CHECK(status.part_text(0) == "Create a new account");
        CHECK(status.part_text(1).empty());
        CHECK(status.part_text(2) == kLong);
        status.parent_resized();
        RECT r = status.rect_in_parent();
        CHECK(r.bottom == 300);
        CHECK(status.height() > 0);
    }
    SUBCASE("toolbar buttons by command")
    {
        kivo::ui::ToolBar bar(create_control(TOOLBARCLASSNAMEA, WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                                             parent.hwnd(), 52, RECT{}));
        bar.set_button_struct_size();
        CHECK(bar.set_bitmap_size(16, 16));
        const TBBUTTON buttons[] = {
            {0, 1006, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
            {0, 0, 0, BTNS_SEP, {}, 0, 0},
            {1, 40051, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0},
        };
        CHECK(bar.add_buttons(buttons));
        CHECK(bar.button_count() == 3);
        CHECK(bar.index_of(40051) == 2);
        CHECK(bar.index_of(9999) == -1);
        bar.enable_button(1006, false);
        CHECK(!bar.is_button_enabled(1006));
        bar.enable_button(1006, true);
        CHECK(bar.is_button_enabled(1006));
        bar.check_button(40051, true);
        CHECK(bar.is_button_checked(40051));
        bar.auto_size();
        CHECK(bar.height() > 0);
        RECT first = bar.button_rect(0);
        RECT last = bar.button_rect(2);
        CHECK(last.left > first.left);
        CHECK(bar.ideal_size().cx >= last.right);
    }
    SUBCASE("tooltip tools")
    {
        kivo::ui::ToolTip tip = kivo::ui::ToolTip::create(parent.hwnd());
        HWND button = create_control("BUTTON", WS_VISIBLE, parent.hwnd(), 53, RECT{10, 10, 60, 30}, "b");
        CHECK(tip.add_tool(parent.hwnd(), 1, RECT{100, 100, 150, 150}, "area"));
        CHECK(tip.add_window_tool(button, "button"));
        CHECK(tip.tool_count() == 2);
        tip.set_tool_text(parent.hwnd(), 1, "other");
        tip.remove_tool(parent.hwnd(), 1);
        CHECK(tip.tool_count() == 1);
        DestroyWindow(tip.hwnd());
    }
}
