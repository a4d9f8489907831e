#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ui/combo_box.h"
#include "ui/control.h"
#include "ui/edit.h"
#include "ui/list_box.h"
#include "ui/status_bar.h"
#include "ui/tab_control.h"
#include "ui/up_down.h"

using kivo::test::TestParent;
using kivo::ui::create_control;

namespace {
const std::string kLong = std::string(600, 'a') + "z";
}

TEST_CASE("list texts of any length come back whole, with their data and selections")
{
    TestParent parent;
    kivo::ui::ComboBox combo(create_control("COMBOBOX", WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, parent.hwnd(),
                                            20, RECT{10, 10, 200, 200}));
    combo.add("first");
    combo.add(kLong);
    CHECK(combo.insert(0, "zeroth") == 0);
    combo.set_item_data(1, 77);
    combo.select(2);
    CHECK(combo.item_text(2) == kLong);
    CHECK(combo.text() == kLong);
    CHECK(combo.item_text(3).empty());
    CHECK(combo.find_exact("first") == 1);
    combo.remove(0);
    CHECK(combo.item_data(0) == 77);
    combo.clear();
    CHECK(combo.selection() == -1);

    kivo::ui::ListBox list(create_control("LISTBOX", WS_VISIBLE | LBS_EXTENDEDSEL | WS_VSCROLL, parent.hwnd(), 21,
                                          RECT{210, 10, 380, 200}));
    for (const char* text : {"one", "two", "three"})
        list.add(text);
    list.insert(1, kLong);
    CHECK(list.item_text(1) == kLong);
    CHECK(list.item_text(-1).empty());
    CHECK(list.selected_rows().empty());
    list.set_selected(0, true);
    list.set_selected(3, true);
    CHECK(list.selected_rows() == std::vector<int>{0, 3});

    kivo::ui::TabControl tabs(create_control(WC_TABCONTROLA, WS_VISIBLE, parent.hwnd(), 22, RECT{10, 210, 380, 290}));
    tabs.add("Accounts");
    tabs.add(kLong);
    CHECK(tabs.item_text(1) == kLong);
    CHECK(tabs.item_text(0) == "Accounts");

    kivo::ui::StatusBar status(create_control(STATUSCLASSNAMEA, WS_VISIBLE, parent.hwnd(), 23, RECT{}));
    CHECK(status.set_parts({100, 250, -1}));
    CHECK(status.set_part_text(2, kLong));
    CHECK(status.part_text(2) == kLong);
    CHECK(status.part_text(1).empty());
}

TEST_CASE("an up-down control keeps its buddy's number within the range")
{
    TestParent parent;
    kivo::ui::Edit edit(create_control("EDIT", WS_VISIBLE | ES_NUMBER, parent.hwnd(), 30, RECT{10, 10, 80, 30}));
    kivo::ui::UpDown spin(create_control(UPDOWN_CLASSA, WS_VISIBLE | UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
                                         parent.hwnd(), 31, RECT{80, 10, 100, 30}));
    spin.set_buddy(edit.hwnd());
    spin.set_range(10, 2000);
    CHECK(spin.range() == std::pair<int, int>{10, 2000});
    spin.set_position(1216);
    CHECK(edit.text() == "1216");
    spin.set_position(99999);
    CHECK(spin.position() == 2000);
    spin.set_position(-5);
    CHECK(spin.position() == 10);
    // What the user typed is what counts; no number is none, not 0.
    edit.set_text("345");
    CHECK(spin.position() == 345);
    edit.set_text("");
    CHECK(!spin.position().has_value());
}
