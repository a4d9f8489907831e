#pragma once
#include <windows.h>

#include <string>

namespace kivo::ui {

// A window class for Window objects, registered under a name generated for
// this process ("Kivo:1", "Kivo:2", ...) so that classes never collide with
// each other or with a class of the same purpose in another module.
// Unregistered when the object goes; it must outlive its windows.
class WindowClass {
public:
    struct Options {
        UINT style = CS_HREDRAW | CS_VREDRAW;
        HCURSOR cursor = nullptr;      // none: the arrow
        HBRUSH background = nullptr;   // none: the dialog face colour
    };

    explicit WindowClass(HINSTANCE module);
    WindowClass(HINSTANCE module, const Options& options);
    ~WindowClass();
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;

    const char* name() const { return name_.c_str(); }
    HINSTANCE module() const { return module_; }

private:
    HINSTANCE module_;
    std::string name_;
};

}  // namespace kivo::ui
