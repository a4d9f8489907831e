#include "appcore/pane_heights.h"

#include <string>

#include "platform/registry.h"
#include "platform/registry_paths.h"

namespace kivo {
namespace {

using platform::RegKey;

std::string splitter_key() { return std::string(kRegistryRoot) + "\\CustomizeControls\\Splitter"; }

// A stored height is taken when it is a plausible number of pixels; a
// negative or absurd one (a damaged value) keeps the default.
void read_height(const RegKey& key, const char* name, std::int32_t& height)
{
    constexpr std::uint32_t kMax = 100000;
    std::uint32_t value = 0;
    if (key.read_dword(name, value) && value <= kMax)
        height = static_cast<std::int32_t>(value);
}

}  // namespace

void PaneHeights::load() { load(splitter_key()); }

void PaneHeights::save() const { save(splitter_key()); }

void PaneHeights::load(const std::string& name)
{
    RegKey key = RegKey::open_or_create(platform::RegRoot::current_user, name);
    if (!key)
        return;
    read_height(key, "AccountListHeight", accounts);
    read_height(key, "MessagesListHeight", messages);
    read_height(key, "MsgPreviewHeight", preview);
}

void PaneHeights::save(const std::string& name) const
{
    RegKey key = RegKey::open_or_create(platform::RegRoot::current_user, name);
    if (!key)
        return;
    key.write_dword("AccountListHeight", static_cast<std::uint32_t>(accounts));
    key.write_dword("MessagesListHeight", static_cast<std::uint32_t>(messages));
    key.write_dword("MsgPreviewHeight", static_cast<std::uint32_t>(preview));
}

}  // namespace kivo
