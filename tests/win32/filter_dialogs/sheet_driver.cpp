#include "sheet_driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>

#include "filter/address_file.h"
#include "filter/list_file.h"
#include "filter/power_file.h"
#include "ui/handles.h"
#include "win32/dialog_script.h"
#include "win32/resource_pixels.h"

namespace kivo::test {

FilterFolder::FilterFolder()
{
    using namespace filter;
    std::vector<WordFilter> from{WordFilter("casino"), WordFilter("lottery")};
    from[1].uncertain = false;
    save_list_file(dir.file("from.dat"), from, reporter);
    save_list_file(dir.file("subject.dat"), std::vector<WordFilter>{WordFilter("win big")}, reporter);
    save_list_file(dir.file("to.dat"), std::vector<WordFilter>{WordFilter("me@home.org")}, reporter);
    SizeFilter size;
    size.upperBound = 500 * 1024;
    save_list_file(dir.file("size.dat"), std::vector<SizeFilter>{size}, reporter);
    PowerFilter alpha, beta;
    alpha.name = "Alpha";
    alpha.subjectEnabled = true;
    alpha.subject = "invoice";
    beta.name = "Beta";
    beta.fromEnabled = true;
    beta.from = "boss";
    beta.state = 1;
    SavePowerFilters(dir.folder(), {alpha, beta}, reporter);
    SaveAddresses(dir.file("friends.dat"), {"zed@x.org", "ann@x.org", "bob@x.org"}, reporter);
    SaveAddresses(dir.file("spammers.dat"), {"bad@spam.com"}, reporter);

    EmailFilterConfig config;
    config.folder = dir.folder();
    config.useRegistry = false;
    config.lockTimeoutMs = 100;
    filters = std::make_unique<EmailFilter>(actions, reporter, config);
    env.help = [this](HWND, const std::string& topic) { topics.push_back(topic); };
    env.message_box = [this](HWND, std::uint32_t id, UINT, const std::vector<std::string>&) {
        boxes.push_back(id);
        return answer;
    };
}

std::map<std::string, std::string> FilterFolder::files() const
{
    std::map<std::string, std::string> all;
    for (const char* name : kFilterFiles)
        all[name] = read_file(dir.file(name));
    return all;
}

void FilterFolder::age_files() const
{
    auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    for (const char* name : kFilterFiles)
        std::filesystem::last_write_time(dir.file(name), old);
}

std::vector<std::string> FilterFolder::rewritten() const
{
    std::vector<std::string> names;
    auto recent = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
    for (const char* name : kFilterFiles)
        if (std::filesystem::last_write_time(dir.file(name)) > recent)
            names.push_back(name);
    return names;
}

HWND dialog_titled(const char* caption)
{
    return FindWindowA("#32770", caption);
}

HWND shown_page(HWND sheet)
{
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::string(name) == "#32770" && (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
            return child;
    }
    return nullptr;
}

void choose_tab(HWND sheet, int index)
{
    HWND tabs = GetDlgItem(sheet, 1067);
    TabCtrl_SetCurFocus(tabs, index);
}

void post_click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void set_text(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

void set_check(HWND dialog, int id, bool on)
{
    HWND box = GetDlgItem(dialog, id);
    if ((SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != on)
        SendMessageA(box, BM_CLICK, 0, 0);
}

bool enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

void shoot(HWND window, const std::string& name)
{
    const char* dir = std::getenv("KIVO_SHOTS_DIR");
    if (!dir || !*dir || !window)
        return;
    std::string path = dir;
    if (path[0] == '/')
        path = "Z:" + path;
    CreateDirectoryA(path.c_str(), nullptr);
    path += "/" + name + ".bmp";
    SetWindowPos(window, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    for (int i = 0; i < 8; ++i) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        UpdateWindow(window);
        Sleep(25);  // lets the X server draw; the picture is for the eye only
    }
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    DibSection shot = create_dib_section(w, h);
    ui::BitmapHandle owner(shot.bitmap);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, shot.bitmap);
    HDC screen = GetDC(nullptr);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    SelectObject(memory, old);
    DeleteDC(memory);
    save_bitmap(shot.bitmap, path.c_str());
}

}  // namespace kivo::test
