#include "views/show_header_dialog.h"

#include "app/resource_ids.h"
#include "ui/dialog.h"

namespace kivo::views {
namespace {

class ShowHeaderDialog : public ui::Dialog {
public:
    explicit ShowHeaderDialog(std::string text) : text_(std::move(text)) {}

protected:
    bool on_init() override
    {
        SetDlgItemTextA(hwnd(), IDC_HEADER_TEXT, text_.c_str());
        return true;
    }

private:
    std::string text_;
};

}  // namespace

std::string edit_control_lines(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

void run_show_header(HINSTANCE module, HWND owner, const std::string& header_text)
{
    ShowHeaderDialog dialog(edit_control_lines(header_text));
    dialog.run_modal({module, IDD_SHOW_HEADER, owner});
}

}  // namespace kivo::views
