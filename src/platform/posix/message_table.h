#pragma once
#include <cstddef>
#include <cstdint>

namespace kivo::platform {

// The program's texts as windmc would store them (each ends in CR LF),
// sorted by number. Generated from resources/messages.mc.
struct MessageTableEntry {
    std::uint32_t id;
    const char* text;
};
extern const MessageTableEntry kMessageTable[];
extern const std::size_t kMessageTableSize;

}  // namespace kivo::platform
