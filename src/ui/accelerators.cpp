#include "ui/accelerators.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace kivo::ui {

AcceleratorTable AcceleratorTable::load(HINSTANCE module, int resource_id)
{
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(resource_id));
    if (!table)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "LoadAccelerators");
    return AcceleratorTable(table, false);
}

AcceleratorTable AcceleratorTable::create(const std::vector<ACCEL>& entries)
{
    std::vector<ACCEL> copy = entries;
    HACCEL table = CreateAcceleratorTableA(copy.data(), static_cast<int>(copy.size()));
    if (!table)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "CreateAcceleratorTable");
    return AcceleratorTable(table, true);
}

AcceleratorTable::~AcceleratorTable()
{
    if (table_ && owned_)
        DestroyAcceleratorTable(table_);
}

AcceleratorTable::AcceleratorTable(AcceleratorTable&& other) noexcept
    : table_(std::exchange(other.table_, nullptr)), owned_(std::exchange(other.owned_, false))
{
}

AcceleratorTable& AcceleratorTable::operator=(AcceleratorTable&& other) noexcept
{
    if (this != &other) {
        if (table_ && owned_)
            DestroyAcceleratorTable(table_);
        table_ = std::exchange(other.table_, nullptr);
        owned_ = std::exchange(other.owned_, false);
    }
    return *this;
}

void AcceleratorRouting::set_window_table(HWND window, HACCEL table)
{
    window_ = window;
    window_table_ = table;
}

void AcceleratorRouting::set_control_table(HWND control, HACCEL table, HWND target)
{
    remove_control_table(control);
    controls_.push_back(ControlTable{control, table, target});
}

void AcceleratorRouting::remove_control_table(HWND control)
{
    std::erase_if(controls_, [control](const ControlTable& entry) { return entry.control == control; });
}

bool AcceleratorRouting::translate(MSG& msg)
{
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR:
        break;
    default:
        return false;
    }
    HWND focus = GetFocus();
    if (!focus)
        focus = msg.hwnd;
    if (!focus)
        return false;
    // Controls that are gone (their window closed) drop out, so a new
    // window that happens to get the same handle never inherits their table.
    std::erase_if(controls_, [](const ControlTable& entry) { return !IsWindow(entry.control); });
    for (const ControlTable& entry : controls_) {
        if (entry.control == focus && entry.table && IsWindow(entry.target) &&
            TranslateAcceleratorA(entry.target, entry.table, &msg))
            return true;
    }
    if (window_table_ && IsWindow(window_) && GetAncestor(focus, GA_ROOT) == GetAncestor(window_, GA_ROOT))
        return TranslateAcceleratorA(window_, window_table_, &msg) != 0;
    return false;
}

}  // namespace kivo::ui
