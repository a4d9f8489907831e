#pragma once
#include <windows.h>

#include <doctest/doctest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/window.h"
#include "ui/window_class.h"

namespace kivo::test {

// A shown top-level window to put controls on; it records the commands and
// notifications its children send and hands WM_SIZE to `on_size`.
class TestParent : public ui::Window {
public:
    struct Command {
        int id;
        int code;
    };
    std::vector<Command> commands;
    std::vector<UINT> notify_codes;
    std::vector<int> drawn_items;
    std::function<void(int, int)> on_size;

    explicit TestParent(int width = 400, int height = 300);
    ~TestParent() override { destroy(); }

    // Resizes the client area (WM_SIZE comes before this returns).
    void resize_client(int width, int height);

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;
};

// The rectangle of a child in its parent's client coordinates.
RECT rect_in_parent(HWND child);

}  // namespace kivo::test

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace doctest {
template <>
struct StringMaker<RECT> {
    static String convert(const RECT& r)
    {
        return ("{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
                ", " + std::to_string(r.bottom) + "}")
            .c_str();
    }
};
}  // namespace doctest
