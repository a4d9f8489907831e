#include <doctest/doctest.h>

#include <cstdlib>
#include <string>

#include "platform/registry.h"

using kivo::platform::RegKey;
using kivo::platform::RegRoot;

namespace {
const char* kTestKey = "SOFTWARE\\Kivo, Inc.\\KivoTest\\Registry";

RegKey fresh_key()
{
    RegKey::delete_tree(RegRoot::current_user, kTestKey);
    return RegKey::open_or_create(RegRoot::current_user, kTestKey);
}
}  // namespace

TEST_CASE("registry: a missing key cannot be opened for reading, and is created on demand")
{
    RegKey::delete_tree(RegRoot::current_user, kTestKey);
    CHECK_FALSE(RegKey::open_read(RegRoot::current_user, kTestKey));
    RegKey created = RegKey::open_or_create(RegRoot::current_user, kTestKey);
    REQUIRE(created);
    CHECK(RegKey::open_read(RegRoot::current_user, kTestKey));
    // Key names compare without case, as on Windows.
    CHECK(RegKey::open_read(RegRoot::current_user, "software\\KIVO, INC.\\kivotest\\registry"));
}

TEST_CASE("registry: values round-trip and are read only from their own types")
{
    RegKey key = fresh_key();
    REQUIRE(key);
    REQUIRE(key.write_dword("Flag", 0xDEADBEEF));
    REQUIRE(key.write_string("Name", "kivo.log"));
    REQUIRE(key.write_expand_string("Path", "%TEMP%\\x"));
    const unsigned char four[4] = {1, 2, 0, 0};
    const unsigned char three[3] = {1, 2, 3};
    REQUIRE(key.write_binary("Four", four, sizeof four));
    REQUIRE(key.write_binary("Three", three, sizeof three));

    RegKey reader = RegKey::open_read(RegRoot::current_user, kTestKey);
    std::uint32_t dword = 7;
    CHECK(reader.read_dword("Flag", dword));
    CHECK(dword == 0xDEADBEEF);
    // A DWORD may come from a 4-byte binary value, and only from that size.
    CHECK(reader.read_dword("Four", dword));
    CHECK(dword == 0x0201);
    dword = 7;
    CHECK_FALSE(reader.read_dword("Three", dword));
    CHECK_FALSE(reader.read_dword("Name", dword));
    CHECK_FALSE(reader.read_dword("Missing", dword));
    CHECK(dword == 7);  // failed reads leave the default alone

    std::string text = "default";
    CHECK(reader.read_string("Name", text));
    CHECK(text == "kivo.log");
    CHECK(reader.read_string("Path", text));  // expandable strings read as they are stored
    CHECK(text == "%TEMP%\\x");
    text = "default";
    CHECK_FALSE(reader.read_string("Flag", text));
    CHECK(text == "default");

    std::vector<std::uint8_t> bytes;
    CHECK(reader.read_binary("Three", bytes));
    CHECK(bytes == std::vector<std::uint8_t>{1, 2, 3});
    CHECK_FALSE(reader.read_binary("Flag", bytes));
}

TEST_CASE("registry: an empty string and value deletion")
{
    RegKey key = fresh_key();
    REQUIRE(key.write_string("Empty", ""));
    std::string text = "x";
    CHECK(key.read_string("Empty", text));
    CHECK(text.empty());
    CHECK(key.delete_value("Empty"));
    CHECK_FALSE(key.read_string("Empty", text));
    CHECK_FALSE(key.delete_value("Empty"));
}

TEST_CASE("registry: subkeys are enumerated, and a tree is deleted whole")
{
    RegKey key = fresh_key();
    std::string base = kTestKey;
    RegKey::open_or_create(RegRoot::current_user, base + "\\Accounts\\home").write_dword("Port", 110);
    RegKey::open_or_create(RegRoot::current_user, base + "\\Accounts\\work\\deep");
    RegKey accounts = RegKey::open_read(RegRoot::current_user, base + "\\Accounts");
    auto names = accounts.subkeys();
    REQUIRE(names.size() == 2);
    CHECK(((names[0] == "home" && names[1] == "work") || (names[0] == "work" && names[1] == "home")));

    CHECK(RegKey::delete_tree(RegRoot::current_user, base + "\\Accounts"));
    CHECK_FALSE(RegKey::open_read(RegRoot::current_user, base + "\\Accounts\\work"));
    CHECK(RegKey::open_read(RegRoot::current_user, base).subkeys().empty());
    CHECK_FALSE(RegKey::delete_tree(RegRoot::current_user, base + "\\Accounts"));
}

TEST_CASE("registry: a closed or moved-from key fails quietly")
{
    RegKey none;
    std::uint32_t v = 0;
    CHECK_FALSE(none.read_dword("x", v));
    CHECK_FALSE(none.write_dword("x", 1));
    CHECK(none.subkeys().empty());

    RegKey key = fresh_key();
    RegKey moved = std::move(key);
    CHECK(moved);
    CHECK_FALSE(key);  // NOLINT(bugprone-use-after-move): moved-from state is part of the contract
    CHECK(moved.write_dword("x", 1));
}

TEST_CASE("registry: an expandable string has its environment variables expanded, a plain one not")
{
    RegKey key = fresh_key();
    REQUIRE(key);
#ifdef _WIN32
    _putenv("KIVO_TEST_DIR=C:\\mail");
#else
    setenv("KIVO_TEST_DIR", "C:\\mail", 1);
#endif
    REQUIRE(key.write_expand_string("Expand", "%KIVO_TEST_DIR%\\kivo.wav"));
    REQUIRE(key.write_expand_string("Unknown", "%KIVO_NO_SUCH_VARIABLE%\\%KIVO_TEST_DIR%"));
    REQUIRE(key.write_string("Plain", "%KIVO_TEST_DIR%\\kivo.wav"));
    REQUIRE(key.write_dword("Number", 1));
    std::string value;
    CHECK(key.read_expanded_string("Expand", value));
    CHECK(value == "C:\\mail\\kivo.wav");
    CHECK(key.read_expanded_string("Unknown", value));
    CHECK(value == "%KIVO_NO_SUCH_VARIABLE%\\C:\\mail");
    CHECK(key.read_expanded_string("Plain", value));
    CHECK(value == "%KIVO_TEST_DIR%\\kivo.wav");
    value = "kept";
    CHECK_FALSE(key.read_expanded_string("Number", value));
    CHECK(value == "kept");
}
