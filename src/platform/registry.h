#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kivo::platform {

enum class RegRoot { current_user, local_machine };

// One open registry key; closed when the object goes. Windows: the real
// registry. POSIX: a process-wide in-memory tree with the same rules.
// Every failure is reported as false or an empty result, never thrown.
class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    static RegKey open_read(RegRoot root, const std::string& path);
    // Opens with full access, creating the key (and its parents) when missing.
    static RegKey open_or_create(RegRoot root, const std::string& path);
    // Deletes a key with all its subkeys and values.
    static bool delete_tree(RegRoot root, const std::string& path);

    bool is_open() const { return handle_ != nullptr; }
    explicit operator bool() const { return is_open(); }

    // A REG_DWORD, or a REG_BINARY of exactly 4 bytes (little-endian).
    bool read_dword(const std::string& name, std::uint32_t& value) const;
    // A REG_SZ or REG_EXPAND_SZ (not expanded), up to its first NUL.
    bool read_string(const std::string& name, std::string& value) const;
    // The same, with the environment variables of a REG_EXPAND_SZ
    // ("%APPDATA%\\x") expanded.
    bool read_expanded_string(const std::string& name, std::string& value) const;
    // A REG_BINARY of any size; callers check the size they expect.
    bool read_binary(const std::string& name, std::vector<std::uint8_t>& value) const;

    bool write_dword(const std::string& name, std::uint32_t value);
    bool write_string(const std::string& name, const std::string& value);
    bool write_expand_string(const std::string& name, const std::string& value);
    bool write_binary(const std::string& name, const void* data, std::size_t size);

    bool delete_value(const std::string& name);
    // Names of the direct subkeys, in the order the system enumerates them.
    std::vector<std::string> subkeys() const;

private:
    explicit RegKey(void* handle) : handle_(handle) {}
    void close();
    void* handle_ = nullptr;
};

}  // namespace kivo::platform
