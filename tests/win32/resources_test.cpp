#include <doctest/doctest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "appcore/command_ids.h"
#include "ui/handles.h"
#include "ui/version_info.h"
#include "win32/resource_pixels.h"

// The test links kivo.exe's own resource script, so this checks what the
// program carries.

using kivo::test::icon_pixels;
using kivo::test::Pixels;

namespace {

HMODULE self() { return GetModuleHandleA(nullptr); }

// The sizes an icon group offers, from its directory: reserved, type, count
// (WORDs), then 14-byte entries that begin with width and height.
std::string icon_group_sizes(int id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    if (!found)
        return "missing";
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
    WORD count = *reinterpret_cast<const WORD*>(group + 4);
    std::string sizes;
    for (WORD i = 0; i < count; ++i)
        sizes += std::to_string(group[6 + 14 * i]) + " ";
    return sizes;
}

constexpr int kTrayIcons[] = {IDI_KIVO, IDI_TRAY_FLASH, IDI_TRAY_ERROR, IDI_TRAY_CHECK, IDI_TRAY_CHECK_ERROR};
constexpr int kAccountIcons[] = {IDI_ACCOUNT_CHECKING, IDI_ACCOUNT_IDLE, IDI_ACCOUNT_FAILED, IDI_ACCOUNT_DISABLED};
constexpr int kMessageIcons[] = {IDI_MESSAGE_DELETED, IDI_MESSAGE_UNCERTAIN, IDI_MESSAGE_SPAMMER, IDI_PRIORITY_HIGH,
                                 IDI_PRIORITY_LOW, IDI_ATTACHMENT, IDI_MESSAGE_FRIEND};

template <size_t N>
void check_pairwise_different(const int (&ids)[N], int size)
{
    std::vector<Pixels> images;
    for (int id : ids)
        images.push_back(icon_pixels(id, size));
    for (size_t i = 0; i < N; ++i)
        for (size_t j = i + 1; j < N; ++j) {
            INFO("icons " << ids[i] << " and " << ids[j] << " at " << size);
            CHECK(images[i].argb != images[j].argb);
        }
}

struct BitmapInfo {
    int width = 0;
    int height = 0;
};

BitmapInfo bitmap_size(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return {};
    return {info.bmWidth, info.bmHeight};
}

// A menu as text: "text=id" items, "-" separators, "text{...}" popups.
std::string describe(HMENU menu)
{
    std::string out;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        char text[256] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text;
        REQUIRE(GetMenuItemInfoA(menu, i, TRUE, &item));
        if (i)
            out += "|";
        if (item.fType & MFT_SEPARATOR)
            out += "-";
        else if (item.hSubMenu)
            out += std::string(text) + "{" + describe(item.hSubMenu) + "}";
        else
            out += std::string(text) + "=" + std::to_string(item.wID);
    }
    return out;
}

std::string menu_resource(int id)
{
    kivo::ui::MenuHandle menu(LoadMenuA(self(), MAKEINTRESOURCEA(id)));
    REQUIRE(menu);
    return describe(menu.get());
}

// An accelerator table as text: "Ctrl+Alt+Shift+KEY=command" entries.
std::string accelerators(int id)
{
    HACCEL table = LoadAcceleratorsA(self(), MAKEINTRESOURCEA(id));
    REQUIRE(table);
    std::vector<ACCEL> entries(CopyAcceleratorTableA(table, nullptr, 0));
    CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    std::string out;
    for (const ACCEL& a : entries) {
        REQUIRE((a.fVirt & FVIRTKEY));
        if (!out.empty())
            out += " ";
        if (a.fVirt & FCONTROL)
            out += "Ctrl+";
        if (a.fVirt & FALT)
            out += "Alt+";
        if (a.fVirt & FSHIFT)
            out += "Shift+";
        out += a.key == VK_RETURN ? std::string("Enter") : std::string(1, static_cast<char>(a.key));
        out += "=" + std::to_string(a.cmd);
    }
    return out;
}

}  // namespace

TEST_CASE("the version record has what the About box and Explorer show")
{
    CHECK(kivo::ui::version_value(self(), "ProductName") == "Kivo Email Checker");
    CHECK(kivo::ui::version_value(self(), "CompanyName") == "Kivo, Inc.");
    CHECK(kivo::ui::version_value(self(), "ProductVersion") == KIVO_EXPECTED_VERSION);
    CHECK(kivo::ui::version_value(self(), "FileVersion") == KIVO_EXPECTED_VERSION);
    CHECK(kivo::ui::version_value(self(), "LegalCopyright").find("Kivo, Inc.") != std::string::npos);
    CHECK(!kivo::ui::version_value(self(), "FileDescription").empty());
    CHECK(kivo::ui::version_value(self(), "NoSuchEntry").empty());
}

TEST_CASE("every icon has 16, 32 and 48 pixel images with alpha and a see-through corner")
{
    std::vector<int> all(std::begin(kTrayIcons), std::end(kTrayIcons));
    all.insert(all.end(), std::begin(kAccountIcons), std::end(kAccountIcons));
    all.insert(all.end(), std::begin(kMessageIcons), std::end(kMessageIcons));
    for (int id : all) {
        INFO("icon " << id);
        CHECK(icon_group_sizes(id) == "16 32 48 ");
        for (int size : {16, 32}) {
            Pixels image = icon_pixels(id, size);
            REQUIRE(image.width == size);
            REQUIRE(image.height == size);
            CHECK((image.at(0, 0) >> 24) == 0);
            size_t opaque = 0;
            for (uint32_t p : image.argb)
                opaque += (p >> 24) == 255;
            // Something to see, drawn with alpha rather than a mask alone.
            CHECK(opaque >= image.argb.size() / 16);
        }
    }
}

TEST_CASE("icons shown in the same place differ from each other")
{
    for (int size : {16, 32}) {
        check_pairwise_different(kTrayIcons, size);
        check_pairwise_different(kAccountIcons, size);
        check_pairwise_different(kMessageIcons, size);
    }
}

TEST_CASE("the flash icon is clearly fainter than the program icon")
{
    auto covered = [](const Pixels& image) {
        long sum = 0;
        for (uint32_t p : image.argb)
            sum += p >> 24;
        return sum;
    };
    auto darkness = [](const Pixels& image) {
        long sum = 0;
        for (uint32_t p : image.argb)
            sum += 765 - ((p >> 16 & 255) + (p >> 8 & 255) + (p & 255));  // over white
        return sum;
    };
    Pixels normal = icon_pixels(IDI_KIVO, 16), flash = icon_pixels(IDI_TRAY_FLASH, 16);
    CHECK(covered(flash) < covered(normal) * 3 / 4);
    CHECK(darkness(flash) < darkness(normal) / 2);
}

TEST_CASE("toolbar strips hold one masked 16x16 image per button")
{
    kivo::ui::BitmapHandle normal(LoadBitmapA(self(), MAKEINTRESOURCEA(IDB_TOOLBAR)));
    kivo::ui::BitmapHandle disabled(LoadBitmapA(self(), MAKEINTRESOURCEA(IDB_TOOLBAR_DISABLED)));
    REQUIRE(normal);
    REQUIRE(disabled);
    BitmapInfo size = bitmap_size(normal.get());
    CHECK(size.width == 16 * 10);
    CHECK(size.height == 16);
    CHECK(TOOLBAR_IMAGE_COUNT == 10);
    BitmapInfo disabled_size = bitmap_size(disabled.get());
    CHECK(disabled_size.width == size.width);
    CHECK(disabled_size.height == size.height);

    Pixels colour = kivo::test::bitmap_pixels(normal.get());
    Pixels grey = kivo::test::bitmap_pixels(disabled.get());
    REQUIRE(colour.argb.size() == grey.argb.size());
    const uint32_t key = 0xFF00FF;  // RGB(255, 0, 255) as 0xRRGGBB
    for (int button = 0; button < 10; ++button) {
        INFO("button " << button);
        int keyed = 0, drawn = 0, coloured = 0, grey_not_grey = 0, masks_differ = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = button * 16; x < button * 16 + 16; ++x) {
                uint32_t c = colour.at(x, y) & 0xFFFFFF, g = grey.at(x, y) & 0xFFFFFF;
                (c == key ? keyed : drawn)++;
                masks_differ += (c == key) != (g == key);
                int r = c >> 16, gr = c >> 8 & 255, b = c & 255;
                coloured += c != key && (std::abs(r - gr) > 40 || std::abs(gr - b) > 40);
                grey_not_grey += g != key && !((g >> 16) == (g >> 8 & 255) && (g & 255) == (g >> 16));
            }
        CHECK(keyed > 16);
        CHECK(drawn > 16);
        CHECK(coloured > 0);
        // The disabled image keeps the shape and loses the colour.
        CHECK(masks_differ == 0);
        CHECK(grey_not_grey == 0);
    }
}

TEST_CASE("header and preview bitmaps have their sizes and see-through colours")
{
    struct Expected {
        int id, width, height;
    };
    for (Expected e : {Expected{IDB_HEADER_ATTACH, 10, 14}, Expected{IDB_HEADER_PRIORITY, 10, 14},
                       Expected{IDB_SORT_ASCENDING, 9, 8}, Expected{IDB_SORT_DESCENDING, 9, 8}}) {
        INFO("bitmap " << e.id);
        kivo::ui::BitmapHandle plain(LoadBitmapA(self(), MAKEINTRESOURCEA(e.id)));
        BitmapInfo size = bitmap_size(plain.get());
        CHECK(size.width == e.width);
        CHECK(size.height == e.height);
        // Loaded for a header, the light grey turns into the face colour.
        kivo::ui::BitmapHandle mapped(static_cast<HBITMAP>(
            LoadImageA(self(), MAKEINTRESOURCEA(e.id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION)));
        REQUIRE(mapped);
        COLORREF face = GetSysColor(COLOR_3DFACE);
        uint32_t expected = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
        Pixels pixels = kivo::test::bitmap_pixels(mapped.get());
        CHECK((pixels.at(0, 0) & 0xFFFFFF) == expected);
        CHECK((pixels.at(e.width - 1, e.height - 1) & 0xFFFFFF) == expected);
    }
    // The arrows point the right ways: the ascending one is widest at the
    // bottom, the descending one at the top.
    auto widest_row = [](int id) {
        kivo::ui::BitmapHandle bitmap(LoadBitmapA(self(), MAKEINTRESOURCEA(id)));
        Pixels p = kivo::test::bitmap_pixels(bitmap.get());
        int best = -1, best_count = 0;
        for (int y = 0; y < p.height; ++y) {
            int count = 0;
            for (int x = 0; x < p.width; ++x)
                count += (p.at(x, y) & 0xFFFFFF) == 0;
            if (count > best_count)
                best = y, best_count = count;
        }
        return best;
    };
    CHECK(widest_row(IDB_SORT_ASCENDING) > 4);
    CHECK(widest_row(IDB_SORT_DESCENDING) < 3);

    kivo::ui::BitmapHandle button(LoadBitmapA(self(), MAKEINTRESOURCEA(IDB_PREVIEW_ATTACH)));
    BitmapInfo size = bitmap_size(button.get());
    CHECK(size.width == 30);
    CHECK(size.height == 30);
    Pixels pixels = kivo::test::bitmap_pixels(button.get());
    CHECK((pixels.at(0, 0) & 0xFFFFFF) == 0x008080);
    CHECK((pixels.at(29, 0) & 0xFFFFFF) == 0x008080);
    CHECK(std::count_if(pixels.argb.begin(), pixels.argb.end(), [](uint32_t p) { return p != 0x008080; }) > 60);
}

TEST_CASE("the menu bar and the lists' menus hold their items in order")
{
    CHECK(menu_resource(IDR_MAIN_MENU) ==
          "&File{Hide=1000}"
          "|&View{Accounts columns=40038|Messages columns=40040}"
          "|&Tools{Run Mailer=1020|View Errors=40019|-|Settings=1010|Filter=40029|Show Log=40052}"
          "|&Help{Contents=9|-|About Kivo=10}");
    CHECK(menu_resource(IDR_ACCOUNTS_MENU) ==
          "Accounts{New=1001|Check=1006|View Errors=40019|-|Disable=40028|Delete all messages\tCTRL+D=40033"
          "|-|Edit=1005|Remove=1004}");
    CHECK(menu_resource(IDR_ACCOUNTS_CONTEXT_MENU) ==
          "Account{Check=1006|View Errors=40019|-|Disable=40028|Delete all messages\tCTRL+D=40033"
          "|-|Edit=1005|Remove=1004|New=1001}");
    CHECK(menu_resource(IDR_MESSAGES_MENU) ==
          "Messages{Mark the message as Read\tCTRL+M=40036|Mark the message as Unread\tCTRL+N=40037"
          "|-|Delete\tCTRL+D=40021|Undelete\tCTRL+U=40022|Select All\tCTRL+A=40025"
          "|-|Reply\tCTRL+R=40054"
          "|-|Add to 'Power' filter\tCTRL+P=40045|Add to 'Friend' filter\tCTRL+I=40048"
          "|Add to 'From' filter\tCTRL+F=40030|Add to 'Subject' filter\tCTRL+S=40031"
          "|Add to 'Spammers list'\tCTRL+B=40032"
          "|-|Show header\tALT+ENTER=40023}");
    CHECK(menu_resource(IDR_TRAY_MENU) ==
          "Tray{Open Kivo=40001|Check{All=40011|-}|Settings=1010|-|Run Mail Client=1020|-"
          "|Disable Notification=40034|-|Exit=40013}");
}

TEST_CASE("the messages menu names the very keys its accelerators bind")
{
    // Every "\tCTRL+X" in a menu text is a key of table 184 for that command,
    // except the two the menu names without a binding.
    std::string table = accelerators(IDR_MESSAGES_ACCELERATORS);
    kivo::ui::MenuHandle menu(LoadMenuA(self(), MAKEINTRESOURCEA(IDR_MESSAGES_MENU)));
    HMENU popup = GetSubMenu(menu.get(), 0);
    for (int i = 0, n = GetMenuItemCount(popup); i < n; ++i) {
        char text[256] = {};
        GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
        std::string s = text;
        size_t tab = s.find('\t');
        if (tab == std::string::npos)
            continue;
        std::string key = s.substr(tab + 1);
        std::string entry = key == "ALT+ENTER" ? "Alt+Enter" : "Ctrl+" + key.substr(5);
        entry += "=" + std::to_string(GetMenuItemID(popup, i));
        INFO(s);
        bool unbound = key == "CTRL+P" || key == "CTRL+I";
        CHECK((table.find(entry) != std::string::npos) != unbound);
    }
}

TEST_CASE("the accelerator tables bind exactly their keys")
{
    CHECK(accelerators(IDR_MAIN_ACCELERATORS) == "Ctrl+M=40011");
    CHECK(accelerators(IDR_ACCOUNTS_ACCELERATORS) == "Ctrl+D=40033 Enter=1006");
    CHECK(accelerators(IDR_MESSAGES_ACCELERATORS) ==
          "Ctrl+A=40025 Ctrl+B=40032 Ctrl+D=40021 Ctrl+F=40030 Ctrl+L=40035 Ctrl+M=40036 Ctrl+N=40037 "
          "Ctrl+R=40054 Ctrl+S=40031 Ctrl+U=40022 Alt+Enter=40023");
}

TEST_CASE("the toolbar's button texts are keyed by their commands")
{
    auto text = [](int id) {
        char buffer[64] = {};
        LoadStringA(self(), static_cast<UINT>(id), buffer, sizeof buffer);
        return std::string(buffer);
    };
    CHECK(text(CMD_CHECK) == "&Check");
    CHECK(text(CMD_CHECK_ALL) == "Check &All");
    CHECK(text(CMD_STOP) == "Stop");
    CHECK(text(CMD_DELETE_MESSAGES) == "&Del msgs");
    CHECK(text(CMD_REPLY) == "&Reply");
    CHECK(text(CMD_MOVE_UP) == "&Up");
    CHECK(text(CMD_MOVE_DOWN) == "&Down");
    CHECK(text(CMD_RUN_MAILER) == "&Mailer");
    CHECK(text(CMD_SETTINGS) == "&Settings");
    CHECK(text(CMD_FILTER) == "&Filter");
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
