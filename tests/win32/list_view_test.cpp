#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "ui/control.h"
#include "ui/handles.h"
#include "ui/image_list.h"
#include "ui/list_view.h"

using kivo::test::TestParent;
using kivo::ui::HeaderControl;
using kivo::ui::ListView;
using kivo::ui::SortArrow;

namespace {

ListView report_view(HWND parent, DWORD style = 0)
{
    return ListView(kivo::ui::create_control(
        WC_LISTVIEWA, WS_VISIBLE | LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_SHOWSELALWAYS | style, parent, 1051,
        RECT{0, 0, 380, 250}, "", WS_EX_CLIENTEDGE));
}

// The header item's format and bitmap, read with the raw message.
HDITEMA raw_header_item(HWND header, int index)
{
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_BITMAP | HDI_LPARAM;
    SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return item;
}

int raw_image(HWND list, int row, int sub_item)
{
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = sub_item;
    item.iImage = -99;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

}  // namespace

TEST_CASE("a report list view with columns, header bitmaps, sort arrows and images")
{
    TestParent parent;
    ListView list = report_view(parent.hwnd());
    list.set_extended_style(LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES,
                            LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
    CHECK((list.extended_style() & (LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES)) ==
          (LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES));

    kivo::ui::ImageList images = kivo::ui::ImageList::small_icons();
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION, shared
    for (int i = 0; i < 6; ++i)
        CHECK(images.add_icon(icon) == i);
    CHECK(images.count() == 6);
    list.set_image_list(images.get());
    CHECK(list.image_list() == images.get());

    CHECK(list.insert_column(0, "From", 180) == 0);
    CHECK(list.insert_column(1, "Subject", 190) == 1);
    CHECK(list.insert_column(2, "", 20, LVCFMT_RIGHT) == 2);
    CHECK(list.insert_column(3, "Size", 94) == 3);
    CHECK(list.column_count() == 4);
    CHECK(list.column_title(1) == "Subject");
    CHECK(list.column_title(2).empty());
    CHECK((list.column_format(2) & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT);
    CHECK(list.column_format(9) == -1);

    HeaderControl header = list.header();
    REQUIRE(header);
    CHECK(header.count() == 4);

    SUBCASE("a header bitmap goes beside the text and away again, leaving the rest of the format")
    {
        kivo::ui::BitmapHandle bitmap(CreateBitmap(16, 16, 1, 32, nullptr));
        REQUIRE(bitmap);
        const int before = raw_header_item(header.hwnd(), 2).fmt;
        CHECK(header.set_bitmap(2, bitmap.get()));
        HDITEMA item = raw_header_item(header.hwnd(), 2);
        CHECK((item.fmt & HDF_BITMAP) != 0);
        CHECK((item.fmt & HDF_BITMAP_ON_RIGHT) != 0);
        CHECK(item.hbm == bitmap.get());
        CHECK((item.fmt & HDF_JUSTIFYMASK) == (before & HDF_JUSTIFYMASK));
        CHECK(header.bitmap(2) == bitmap.get());
        CHECK(header.bitmap(1) == nullptr);

        CHECK(header.set_bitmap(2, bitmap.get(), false));
        CHECK((raw_header_item(header.hwnd(), 2).fmt & HDF_BITMAP_ON_RIGHT) == 0);

        CHECK(header.set_bitmap(2, nullptr));
        item = raw_header_item(header.hwnd(), 2);
        CHECK((item.fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT)) == 0);
        CHECK(item.fmt == before);
        CHECK(!header.set_bitmap(7, bitmap.get()));
    }
    SUBCASE("sort arrows replace each other and keep a bitmap that is there")
    {
        kivo::ui::BitmapHandle bitmap(CreateBitmap(8, 8, 1, 32, nullptr));
        header.set_bitmap(0, bitmap.get());
        CHECK(header.set_sort_arrow(0, SortArrow::up));
        int fmt = raw_header_item(header.hwnd(), 0).fmt;
        CHECK((fmt & HDF_SORTUP) != 0);
        CHECK((fmt & HDF_SORTDOWN) == 0);
        CHECK((fmt & HDF_BITMAP) != 0);
        CHECK(header.set_sort_arrow(0, SortArrow::down));
        fmt = raw_header_item(header.hwnd(), 0).fmt;
        CHECK((fmt & HDF_SORTUP) == 0);
        CHECK((fmt & HDF_SORTDOWN) != 0);
        CHECK(header.sort_arrow(0) == SortArrow::down);
        CHECK(header.sort_arrow(1) == SortArrow::none);
        CHECK(header.set_sort_arrow(0, SortArrow::none));
        CHECK((raw_header_item(header.hwnd(), 0).fmt & (HDF_SORTUP | HDF_SORTDOWN)) == 0);
        header.set_bitmap(0, nullptr);
    }
    SUBCASE("rows with data, a row image, sub-item images and rows without any image")
    {
        CHECK(list.add_item("alice@example.com", 0, 1001) == 0);
        CHECK(list.add_item("bob@example.com", ListView::kNoImage, 1002) == 1);
        CHECK(list.add_item("carol@example.com", 5, 1003) == 2);
        CHECK(list.count() == 3);
        CHECK(list.item_text(1, 3).empty());

        CHECK(list.set_item_image(0, 2, 3));
        CHECK(list.set_item_image(2, 2, 4));
        CHECK(raw_image(list.hwnd(), 0, 2) == 3);
        CHECK(raw_image(list.hwnd(), 2, 2) == 4);
        CHECK(list.item_image(0, 2) == 3);
        CHECK(list.item_image(0) == 0);
        CHECK(raw_image(list.hwnd(), 1, 0) == I_IMAGENONE);

        CHECK(list.find_item_data(1002) == 1);
        CHECK(list.find_item_data(4711) == -1);

        list.select(0);
        list.select(2);
        CHECK(list.selected_items() == std::vector<int>{0, 2});
        list.select(-1, false);
        CHECK(list.selected_items().empty());

        CHECK(list.delete_item(0));
        CHECK(list.find_item_data(1003) == 1);
    }
    SUBCASE("texts far longer than a path come back whole")
    {
        for (std::size_t length : {255u, 256u, 257u, 511u, 512u, 3000u}) {
            std::string text(length, 'x');
            text.back() = 'E';
            int row = list.add_item(text);
            REQUIRE(row >= 0);
            CHECK(list.item_text(row) == text);
            CHECK(list.set_item_text(row, 3, text + "!"));
            CHECK(list.item_text(row, 3) == text + "!");
        }
        std::string title(700, 't');
        CHECK(list.insert_column(4, title, 50) == 4);
        CHECK(list.column_title(4) == title);
        CHECK(header.item_text(4) == title);
    }
    // The list only borrowed the image list.
    DestroyWindow(list.hwnd());
    CHECK(images.count() == 6);
}
