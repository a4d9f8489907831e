#pragma once
#include <cstring>
#include <string>

namespace kivo::ui {

// Reads a text from a control that copies it into a caller's buffer without
// saying how long it is: the buffer doubles until the text ends short of its
// end, so no text is ever cut at some fixed length. `read(buffer, capacity)`
// writes a NUL-terminated text of at most capacity - 1 characters.
template <typename Read>
std::string read_growing_text(Read read, int first_capacity = 256)
{
    constexpr int kLargest = 1 << 24;  // far beyond any text the program shows
    for (int capacity = first_capacity > 1 ? first_capacity : 2;; capacity *= 2) {
        std::string buffer(static_cast<std::size_t>(capacity), '\0');
        read(buffer.data(), capacity);
        buffer.back() = '\0';  // a control that filled it all may not end it
        std::size_t length = std::strlen(buffer.c_str());
        if (length + 1 < static_cast<std::size_t>(capacity) || capacity >= kLargest) {
            buffer.resize(length);
            return buffer;
        }
    }
}

}  // namespace kivo::ui
