#pragma once
#include <windows.h>

#include <vector>

namespace kivo::ui {

// An accelerator table. One loaded from the module's resources belongs to the
// system and is never destroyed; one built from entries is destroyed when
// the object goes.
class AcceleratorTable {
public:
    AcceleratorTable() = default;
    // Throws when the module has no such table.
    static AcceleratorTable load(HINSTANCE module, int resource_id);
    // Throws when the system refuses the entries.
    static AcceleratorTable create(const std::vector<ACCEL>& entries);
    ~AcceleratorTable();
    AcceleratorTable(AcceleratorTable&& other) noexcept;
    AcceleratorTable& operator=(AcceleratorTable&& other) noexcept;
    AcceleratorTable(const AcceleratorTable&) = delete;
    AcceleratorTable& operator=(const AcceleratorTable&) = delete;

    HACCEL get() const { return table_; }

private:
    AcceleratorTable(HACCEL table, bool owned) : table_(table), owned_(owned) {}
    HACCEL table_ = nullptr;
    bool owned_ = false;
};

// Which accelerator table a key goes through, chosen by the keyboard focus:
// a control (a list, say) may have a table of its own, tried first while it
// has the focus; then the window's table, for keys typed anywhere inside
// that window. Keys typed in another top-level window (a modeless dialog,
// say) never reach the window's table. The tables are not owned.
class AcceleratorRouting {
public:
    // The window's table; its commands go to `window`.
    void set_window_table(HWND window, HACCEL table);
    // A control's table, used while `control` itself has the focus; its
    // commands go to `target` (the control's owner window).
    void set_control_table(HWND control, HACCEL table, HWND target);
    void remove_control_table(HWND control);

    // Translates a key message through the chosen tables; true when it
    // became a command (and was sent to the table's target).
    bool translate(MSG& msg);

private:
    struct ControlTable {
        HWND control;
        HACCEL table;
        HWND target;
    };
    HWND window_ = nullptr;
    HACCEL window_table_ = nullptr;
    std::vector<ControlTable> controls_;
};

}  // namespace kivo::ui
