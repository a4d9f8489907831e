#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/handles.h"
#include "ui/window.h"
#include "ui/window_class.h"

namespace kivo {
class Message;
}

namespace kivo::views {

// The preview under the messages list: a header area (From, To, Subject) and
// the message's first lines below it; for a message with attachments a
// button (40042) in the header area lists their names.
class PreviewPane : public ui::Window {
public:
    static constexpr int kAttachButton = 40042;
    static constexpr int kHeaderHeight = 36;

    PreviewPane();
    ~PreviewPane() override;

    void create(HINSTANCE module, HWND parent);
    // Null clears.
    void show(const Message* message);
    void clear() { show(nullptr); }
    std::string header_text() const;
    std::string body_text() const;
    bool attach_button_visible() const;
    const std::vector<std::string>& attachment_names() const { return attachments_; }
    // The body's first visible line, to keep it across a refill.
    int scroll_line() const;
    void set_scroll_line(int line);
    void set_font(HFONT font);
    HWND body() const { return body_; }
    HWND header() const { return header_; }
    // The names menu below the button; returns what was chosen (0: nothing).
    UINT attachment_menu();

protected:
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    void lay_out();

    std::unique_ptr<ui::WindowClass> class_;
    ui::BrushHandle menu_brush_;
    ui::IconHandle attach_icon_;
    HWND header_ = nullptr;
    HWND body_ = nullptr;
    HWND button_ = nullptr;
    std::vector<std::string> attachments_;
};

}  // namespace kivo::views
