#include <doctest/doctest.h>

#include "message_ids.h"
#include "ui/error_box.h"
#include "win32/box_watcher.h"

using kivo::test::BoxWatcher;
using kivo::ui::report_message;

namespace {

// The system's own text for a number, independent of the program's lookup.
std::string system_text(DWORD id)
{
    char buffer[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, id, 0, buffer,
                             sizeof buffer, nullptr);
    std::string text(buffer, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

HICON system_icon(LPCSTR which)
{
    return LoadIconA(nullptr, which);
}

const char* const kCaption = "Kivo Email Checker Warning";

}  // namespace

TEST_CASE("the message box shows the number's text, the program's caption and the icon its kind calls for")
{
    SUBCASE("an error number gets the stop icon")
    {
        BoxWatcher watcher(IDOK);
        CHECK(report_message(kivo::MSG_UNEXPECTED_ERROR) == IDOK);
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().caption == kCaption);
        CHECK(watcher.box().text == "Unexpected Error.");
        CHECK(watcher.box().icon == system_icon(IDI_HAND));
    }
    SUBCASE("an informational number gets the information icon")
    {
        BoxWatcher watcher(IDOK);
        CHECK(report_message(kivo::MSG_STATE_SLEEPING) == IDOK);
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().caption == kCaption);
        CHECK(watcher.box().text == kivo::ui::message_box_content(kivo::MSG_STATE_SLEEPING).text);
        CHECK(watcher.box().icon == system_icon(IDI_ASTERISK));
    }
    SUBCASE("a named icon wins over the number's kind, and the pressed button comes back")
    {
        BoxWatcher watcher(IDNO);
        CHECK(report_message(kivo::MSG_UNEXPECTED_ERROR, MB_YESNO | MB_ICONQUESTION) == IDNO);
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().icon == system_icon(IDI_QUESTION));
    }
    SUBCASE("inserts fill the text")
    {
        BoxWatcher watcher(IDOK);
        report_message(kivo::MSG_UNEXPECTED_ERROR_IN, MB_OK, nullptr, {"main.cpp, 42"});
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().text == "Unexpected Error in 'main.cpp, 42'.");
    }
}

TEST_CASE("numbers outside the program's table")
{
    SUBCASE("a Windows error code shows the system's wording with the information icon")
    {
        REQUIRE(!system_text(ERROR_FILE_NOT_FOUND).empty());
        BoxWatcher watcher(IDOK);
        report_message(ERROR_FILE_NOT_FOUND);
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().text == system_text(ERROR_FILE_NOT_FOUND));
        CHECK(watcher.box().icon == system_icon(IDI_ASTERISK));
    }
    SUBCASE("a number without any text shows the system's text for E_UNEXPECTED, never an empty box")
    {
        const std::uint32_t unknown = 0xC000FEDC;
        BoxWatcher watcher(IDOK);
        report_message(unknown);
        REQUIRE(watcher.box().seen);
        if (!system_text(0x8000FFFF).empty())
            CHECK(watcher.box().text == system_text(0x8000FFFF));
        else  // Wine
            CHECK(watcher.box().text == "Unexpected Error. (0xC000FEDC)");
        CHECK(watcher.box().icon == system_icon(IDI_HAND));
    }
}

TEST_CASE("the box belongs to the given owner, or else to the active window")
{
    HWND window = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(window);
    SUBCASE("given")
    {
        BoxWatcher watcher(IDOK);
        report_message(kivo::MSG_UNEXPECTED_ERROR, MB_OK, window);
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().owner == window);
    }
    SUBCASE("active")
    {
        SetActiveWindow(window);
        REQUIRE(GetActiveWindow() == window);
        BoxWatcher watcher(IDOK);
        report_message(kivo::MSG_UNEXPECTED_ERROR);
        REQUIRE(watcher.box().seen);
        CHECK(watcher.box().owner == window);
    }
    DestroyWindow(window);
}
