#include <doctest/doctest.h>

#include <string>

#include "app/resource_ids.h"
#include "ui/version_info.h"

// The test links kivo.exe's own resource script, so this checks what the
// program carries.

TEST_CASE("the version record has what the About box and Explorer show")
{
    HMODULE self = GetModuleHandleA(nullptr);
    CHECK(kivo::ui::version_value(self, "ProductName") == "Kivo Email Checker");
    CHECK(kivo::ui::version_value(self, "CompanyName") == "Kivo, Inc.");
    CHECK(kivo::ui::version_value(self, "ProductVersion") == KIVO_EXPECTED_VERSION);
    CHECK(kivo::ui::version_value(self, "FileVersion") == KIVO_EXPECTED_VERSION);
    CHECK(kivo::ui::version_value(self, "LegalCopyright").find("Kivo, Inc.") != std::string::npos);
    CHECK(!kivo::ui::version_value(self, "FileDescription").empty());
    CHECK(kivo::ui::version_value(self, "NoSuchEntry").empty());
}

TEST_CASE("icon 105 holds a 16, a 32 and a 48 pixel image")
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_KIVO), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    REQUIRE(found);
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    REQUIRE(group);
    // Directory: reserved, type, count (WORDs), then 14-byte entries that
    // begin with width and height.
    WORD count = *reinterpret_cast<const WORD*>(group + 4);
    std::string sizes;
    for (WORD i = 0; i < count; ++i)
        sizes += std::to_string(group[6 + 14 * i]) + " ";
    CHECK(sizes == "16 32 48 ");
}

TEST_CASE("the manifest asks for common controls 6 and DPI awareness")
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    REQUIRE(found);
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    std::string manifest(data, SizeofResource(nullptr, found));
    CHECK(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos);
    CHECK(manifest.find("version=\"6.0.0.0\"") != std::string::npos);
    CHECK(manifest.find(">true</dpiAware>") != std::string::npos);
}
