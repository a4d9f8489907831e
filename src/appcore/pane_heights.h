#pragma once
#include <cstdint>
#include <string>

namespace kivo {

// The heights in pixels of the main window's three panes (accounts list,
// messages list, preview), kept under "CustomizeControls\Splitter".
struct PaneHeights {
    std::int32_t accounts = 30;
    std::int32_t messages = 30;
    std::int32_t preview = 50;

    // Defaults for what is missing; the key is created when it is not there.
    void load();
    void save() const;
    // The same under another key ("<CustomizeControls>\\Splitter").
    void load(const std::string& key);
    void save(const std::string& key) const;
};

}  // namespace kivo
