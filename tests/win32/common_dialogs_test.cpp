#include <doctest/doctest.h>

#include <windows.h>
#include <dlgs.h>

#include <cstdio>
#include <string>

#include "controls_fixture.h"
#include "ui/common_dialogs.h"

using kivo::test::TestParent;
using kivo::ui::FileFilter;
using kivo::ui::FileRequest;

namespace {

// What the "user" does in the next dialog of this thread: type a file name
// (when there is one) and press a button. A dialog still open a second after
// that (the name was refused, say) is cancelled, so a test fails instead of
// waiting for ever.
struct Answer {
    std::string file_name;
    int button = IDCANCEL;
    bool done = false;
    int ticks_since = 0;
};
Answer answer;

BOOL CALLBACK find_dialog(HWND hwnd, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void press(HWND dialog, int button)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void CALLBACK answer_dialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &find_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    if (answer.done) {
        if (++answer.ticks_since == 20)
            press(dialog, IDCANCEL);
        return;
    }
    answer.done = true;
    if (!answer.file_name.empty()) {
        HWND field = GetDlgItem(dialog, edt1);
        if (!field)
            field = GetDlgItem(dialog, cmb13);
        SetWindowTextA(field, answer.file_name.c_str());
    }
    press(dialog, answer.button);
}

// Answers the next dialog while it lives.
class Answerer {
public:
    Answerer(const std::string& file_name, int button) : timer_(0)
    {
        answer = Answer{file_name, button, false, 0};
        timer_ = SetTimer(nullptr, 0, 50, &answer_dialog);
    }
    ~Answerer() { KillTimer(nullptr, timer_); }
    Answerer(const Answerer&) = delete;
    Answerer& operator=(const Answerer&) = delete;

private:
    UINT_PTR timer_;
};

template <std::size_t N>
std::string bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

std::string temp_folder()
{
    char path[MAX_PATH] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

}  // namespace

TEST_CASE("a file dialog's type list is pairs of texts, each ended, with an empty one last")
{
    using kivo::ui::file_filter_string;
    CHECK(file_filter_string({}).empty());
    CHECK(file_filter_string({{"Sounds (*.wav)", "*.wav"}, {"All files", "*.*"}}) ==
          bytes("Sounds (*.wav)\0*.wav\0All files\0*.*\0\0"));
    // Incomplete pairs would shift every later one; a NUL inside a text
    // would do the same.
    CHECK(file_filter_string({{"", "*.wav"}, {"Programs", ""}, {"Icons", "*.ico;*.exe"}}) ==
          bytes("Icons\0*.ico;*.exe\0\0"));
    CHECK(file_filter_string({{std::string("Bad\0name", 8), std::string("*.a\0*.b", 7)}}) ==
          bytes("Bad\0*.a\0\0"));
}

TEST_CASE("the system's file dialogs return the choice, or nothing when cancelled")
{
    TestParent owner;
    kivo::ui::SystemCommonDialogs dialogs;
    const std::string folder = temp_folder();

    SUBCASE("open: an existing file")
    {
        const std::string path = folder + "kivo-open-test.wav";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        REQUIRE(file);
        std::fclose(file);
        FileRequest request;
        request.title = "Sound";
        request.filters = {{"Sounds (*.wav)", "*.wav"}};
        request.initial_path = folder;
        Answerer user(path, IDOK);
        auto chosen = dialogs.open_file(owner.hwnd(), request);
        CHECK(answer.done);
        REQUIRE(chosen.has_value());
        CHECK(lstrcmpiA(chosen->c_str(), path.c_str()) == 0);
        DeleteFileA(path.c_str());
    }
    SUBCASE("open: cancelled")
    {
        Answerer user("", IDCANCEL);
        CHECK(!dialogs.open_file(owner.hwnd(), FileRequest{}).has_value());
        CHECK(answer.done);
    }
    SUBCASE("save: the default extension goes on a bare name")
    {
        FileRequest request;
        request.default_extension = "dat";
        request.filters = {{"Lists", "*.dat"}};
        Answerer user(folder + "kivo-save-test", IDOK);
        auto chosen = dialogs.save_file(owner.hwnd(), request);
        REQUIRE(chosen.has_value());
        CHECK(chosen->size() > 4);
        CHECK(lstrcmpiA(chosen->substr(chosen->size() - 4).c_str(), ".dat") == 0);
    }
}
