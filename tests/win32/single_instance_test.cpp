#include <doctest/doctest.h>

#include "app/single_instance.h"

using kivo::app::SingleInstance;

namespace {
// Names of the test's own, so a running kivo.exe does not interfere.
const char* const kTitle = "Single instance test window";
const char* const kMutex = "Local\\Kivo single instance test";
}  // namespace

TEST_CASE("another copy is running when its window exists or it holds the claim")
{
    SUBCASE("alone")
    {
        SingleInstance first(kTitle, kMutex);
        CHECK(!first.another_is_running());
    }
    SUBCASE("a top-level window with the title")
    {
        HWND window = CreateWindowExA(0, "STATIC", kTitle, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        REQUIRE(window);
        // A hidden window counts too: a copy hidden in the tray is running.
        SingleInstance second(kTitle, "Local\\Kivo single instance test, other");
        CHECK(second.another_is_running());
        DestroyWindow(window);
    }
    SUBCASE("a copy still starting, before its window exists")
    {
        SingleInstance first(kTitle, kMutex);
        SingleInstance second(kTitle, kMutex);
        CHECK(!first.another_is_running());
        CHECK(second.another_is_running());
    }
    SUBCASE("the claim ends with the copy that held it")
    {
        { SingleInstance first(kTitle, kMutex); }
        SingleInstance later(kTitle, kMutex);
        CHECK(!later.another_is_running());
    }
}
