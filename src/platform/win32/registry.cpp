#include "platform/registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/text.h"

namespace kivo::platform {
namespace {

HKEY root_key(RegRoot root) { return root == RegRoot::local_machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }
HKEY as_hkey(void* handle) { return static_cast<HKEY>(handle); }

bool query(void* handle, const std::string& name, DWORD& type, std::vector<std::uint8_t>& data)
{
    if (!handle)
        return false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExA(as_hkey(handle), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.resize(size);
        LONG rc = RegQueryValueExA(as_hkey(handle), name.c_str(), nullptr, &type, data.data(), &size);
        if (rc == ERROR_SUCCESS) {
            data.resize(size);
            return true;
        }
        if (rc != ERROR_MORE_DATA)
            return false;  // another writer grew the value between the calls: ask again
    }
    return false;
}

bool set(void* handle, const std::string& name, DWORD type, const void* data, std::size_t size)
{
    if (!handle || size > 0xFFFFFFFFu)
        return false;
    return RegSetValueExA(as_hkey(handle), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool delete_tree_of(HKEY parent, const std::string& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    // Delete children first; RegDeleteKey removes only empty keys.
    for (;;) {
        char child[256];
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (!delete_tree_of(key, child))
            break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

RegKey::~RegKey() { close(); }

RegKey::RegKey(RegKey&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

void RegKey::close()
{
    if (handle_)
        RegCloseKey(as_hkey(handle_));
    handle_ = nullptr;
}

RegKey RegKey::open_read(RegRoot root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_key(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

RegKey RegKey::open_or_create(RegRoot root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root_key(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

bool RegKey::delete_tree(RegRoot root, const std::string& path) { return delete_tree_of(root_key(root), path); }

bool RegKey::read_dword(const std::string& name, std::uint32_t& value) const
{
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    if (!query(handle_, name, type, data) || (type != REG_DWORD && type != REG_BINARY) || data.size() != 4)
        return false;
    value = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
            static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    return true;
}

namespace {
// A REG_SZ or REG_EXPAND_SZ up to its first NUL (a stored string need not
// end in one), with its type.
bool query_text(void* handle, const std::string& name, std::string& text, DWORD& type)
{
    std::vector<std::uint8_t> data;
    if (!query(handle, name, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    text.assign(data.begin(), data.end());
    text.resize(std::min(text.size(), text.find('\0')));
    return true;
}
}  // namespace

bool RegKey::read_string(const std::string& name, std::string& value) const
{
    DWORD type = 0;
    return query_text(handle_, name, value, type);
}

bool RegKey::read_expanded_string(const std::string& name, std::string& value) const
{
    DWORD type = 0;
    std::string text;
    if (!query_text(handle_, name, text, type))
        return false;
    value = type == REG_EXPAND_SZ ? expand_environment(text) : std::move(text);
    return true;
}

bool RegKey::read_binary(const std::string& name, std::vector<std::uint8_t>& value) const
{
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    if (!query(handle_, name, type, data) || type != REG_BINARY)
        return false;
    value = std::move(data);
    return true;
}

bool RegKey::write_dword(const std::string& name, std::uint32_t value)
{
    DWORD v = value;
    return set(handle_, name, REG_DWORD, &v, sizeof v);
}

bool RegKey::write_string(const std::string& name, const std::string& value)
{
    return set(handle_, name, REG_SZ, value.c_str(), value.size() + 1);
}

bool RegKey::write_expand_string(const std::string& name, const std::string& value)
{
    return set(handle_, name, REG_EXPAND_SZ, value.c_str(), value.size() + 1);
}

bool RegKey::write_binary(const std::string& name, const void* data, std::size_t size)
{
    return set(handle_, name, REG_BINARY, data, size);
}

bool RegKey::delete_value(const std::string& name)
{
    return handle_ && RegDeleteValueA(as_hkey(handle_), name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> RegKey::subkeys() const
{
    std::vector<std::string> names;
    if (!handle_)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[256];  // key names are at most 255 characters
        DWORD length = sizeof name;
        if (RegEnumKeyExA(as_hkey(handle_), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace kivo::platform
