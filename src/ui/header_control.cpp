#include "ui/header_control.h"

#include "ui/text_buffer.h"

namespace kivo::ui {

int HeaderControl::format(int index) const
{
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    return get(index, item) ? item.fmt : 0;
}

bool HeaderControl::set_format(int index, int format) const
{
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    item.fmt = format;
    return set(index, item);
}

bool HeaderControl::set_bitmap(int index, HBITMAP bitmap, bool on_right) const
{
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!get(index, item))
        return false;
    item.mask = HDI_FORMAT | HDI_BITMAP;
    item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
    if (bitmap)
        item.fmt |= HDF_BITMAP | (on_right ? HDF_BITMAP_ON_RIGHT : 0);
    item.hbm = bitmap;
    return set(index, item);
}

HBITMAP HeaderControl::bitmap(int index) const
{
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    if (!get(index, item) || !(item.fmt & HDF_BITMAP))
        return nullptr;
    return item.hbm;
}

bool HeaderControl::set_sort_arrow(int index, SortArrow arrow) const
{
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!get(index, item))
        return false;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (arrow == SortArrow::up)
        item.fmt |= HDF_SORTUP;
    else if (arrow == SortArrow::down)
        item.fmt |= HDF_SORTDOWN;
    return set(index, item);
}

SortArrow HeaderControl::sort_arrow(int index) const
{
    int fmt = format(index);
    if (fmt & HDF_SORTUP)
        return SortArrow::up;
    if (fmt & HDF_SORTDOWN)
        return SortArrow::down;
    return SortArrow::none;
}

LPARAM HeaderControl::item_data(int index) const
{
    HDITEMA item{};
    item.mask = HDI_LPARAM;
    return get(index, item) ? item.lParam : 0;
}

bool HeaderControl::set_item_data(int index, LPARAM data) const
{
    HDITEMA item{};
    item.mask = HDI_LPARAM;
    item.lParam = data;
    return set(index, item);
}

int HeaderControl::item_width(int index) const
{
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    return get(index, item) ? item.cxy : 0;
}

int HeaderControl::item_order(int index) const
{
    HDITEMA item{};
    item.mask = HDI_ORDER;
    return get(index, item) ? item.iOrder : -1;
}

std::string HeaderControl::item_text(int index) const
{
    return read_growing_text([&](char* buffer, int capacity) {
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = buffer;
        item.cchTextMax = capacity;
        get(index, item);
    });
}

RECT HeaderControl::item_rect(int index) const
{
    RECT r{};
    send(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

}  // namespace kivo::ui
