#pragma once
#include "ui/handles.h"
#include "ui/window.h"
#include "ui/window_class.h"

namespace kivo::app {

inline constexpr const char* kMainWindowTitle = "Kivo Email Checker";

// The program's one top-level window. Closing it ends the message loop.
class MainWindow : public ui::Window {
public:
    explicit MainWindow(HINSTANCE module);
    ~MainWindow() override;

    // Creates the window, still hidden, at its default size.
    void create();

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    HINSTANCE module_;
    ui::WindowClass class_;
    ui::IconHandle small_icon_;
    ui::IconHandle large_icon_;
};

}  // namespace kivo::app
