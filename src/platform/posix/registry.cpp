#include "platform/registry.h"

#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

// An in-memory registry with the Windows rules that the program relies on:
// names compare without case, keys hold values and subkeys, a deleted key's
// open handles fail every later call.
namespace kivo::platform {
namespace {

enum class Type { dword, sz, expand_sz, binary };

struct Value {
    Type type;
    std::vector<std::uint8_t> data;
};

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
        });
    }
};

struct Node {
    std::map<std::string, std::shared_ptr<Node>, NoCaseLess> children;
    std::map<std::string, Value, NoCaseLess> values;
    bool deleted = false;
};

std::mutex g_mutex;
std::shared_ptr<Node> g_roots[2] = {std::make_shared<Node>(), std::make_shared<Node>()};

struct Handle {
    std::shared_ptr<Node> node;
};

std::vector<std::string> split_path(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

std::shared_ptr<Node> find(RegRoot root, const std::string& path, bool create)
{
    std::shared_ptr<Node> node = g_roots[static_cast<int>(root)];
    for (const std::string& part : split_path(path)) {
        auto it = node->children.find(part);
        if (it == node->children.end()) {
            if (!create)
                return nullptr;
            it = node->children.emplace(part, std::make_shared<Node>()).first;
        }
        node = it->second;
    }
    return node;
}

void mark_deleted(Node& node)
{
    node.deleted = true;
    for (auto& [name, child] : node.children)
        mark_deleted(*child);
}

Node* live(void* handle)
{
    if (!handle)
        return nullptr;
    Node* node = static_cast<Handle*>(handle)->node.get();
    return node->deleted ? nullptr : node;
}

const Value* find_value(void* handle, const std::string& name)
{
    Node* node = live(handle);
    if (!node)
        return nullptr;
    auto it = node->values.find(name);
    return it == node->values.end() ? nullptr : &it->second;
}

bool store(void* handle, const std::string& name, Type type, const void* data, std::size_t size)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Node* node = live(handle);
    if (!node)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    node->values[name] = Value{type, std::vector<std::uint8_t>(bytes, bytes + size)};
    return true;
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
    delete static_cast<Handle*>(handle_);
    handle_ = nullptr;
}

RegKey RegKey::open_read(RegRoot root, const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto node = find(root, path, false);
    return node ? RegKey(new Handle{node}) : RegKey();
}

RegKey RegKey::open_or_create(RegRoot root, const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return RegKey(new Handle{find(root, path, true)});
}

bool RegKey::delete_tree(RegRoot root, const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto parts = split_path(path);
    if (parts.empty())
        return false;
    std::string last = parts.back();
    parts.pop_back();
    std::shared_ptr<Node> parent = g_roots[static_cast<int>(root)];
    for (const std::string& part : parts) {
        auto it = parent->children.find(part);
        if (it == parent->children.end())
            return false;
        parent = it->second;
    }
    auto it = parent->children.find(last);
    if (it == parent->children.end())
        return false;
    mark_deleted(*it->second);
    parent->children.erase(it);
    return true;
}

bool RegKey::read_dword(const std::string& name, std::uint32_t& value) const
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const Value* v = find_value(handle_, name);
    if (!v || (v->type != Type::dword && v->type != Type::binary) || v->data.size() != 4)
        return false;
    value = static_cast<std::uint32_t>(v->data[0]) | static_cast<std::uint32_t>(v->data[1]) << 8 |
            static_cast<std::uint32_t>(v->data[2]) << 16 | static_cast<std::uint32_t>(v->data[3]) << 24;
    return true;
}

bool RegKey::read_string(const std::string& name, std::string& value) const
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const Value* v = find_value(handle_, name);
    if (!v || (v->type != Type::sz && v->type != Type::expand_sz))
        return false;
    std::string text(v->data.begin(), v->data.end());
    value = text.substr(0, text.find('\0'));
    return true;
}

bool RegKey::read_expanded_string(const std::string& name, std::string& value) const
{
    std::string text;
    if (!read_string(name, text))
        return false;
    bool expandable = false;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        const Value* v = find_value(handle_, name);
        expandable = v && v->type == Type::expand_sz;
    }
    value = expandable ? expand_environment(text) : std::move(text);
    return true;
}

bool RegKey::read_binary(const std::string& name, std::vector<std::uint8_t>& value) const
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const Value* v = find_value(handle_, name);
    if (!v || v->type != Type::binary)
        return false;
    value = v->data;
    return true;
}

bool RegKey::write_dword(const std::string& name, std::uint32_t value)
{
    std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return store(handle_, name, Type::dword, bytes, sizeof bytes);
}

bool RegKey::write_string(const std::string& name, const std::string& value)
{
    return store(handle_, name, Type::sz, value.c_str(), value.size() + 1);
}

bool RegKey::write_expand_string(const std::string& name, const std::string& value)
{
    return store(handle_, name, Type::expand_sz, value.c_str(), value.size() + 1);
}

bool RegKey::write_binary(const std::string& name, const void* data, std::size_t size)
{
    return store(handle_, name, Type::binary, data, size);
}

bool RegKey::delete_value(const std::string& name)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Node* node = live(handle_);
    return node && node->values.erase(name) == 1;
}

std::vector<std::string> RegKey::subkeys() const
{
    std::lock_guard<std::mutex> lock(g_mutex);
    std::vector<std::string> names;
    if (Node* node = live(handle_))
        for (const auto& [name, child] : node->children)
            names.push_back(name);
    return names;
}

}  // namespace kivo::platform
