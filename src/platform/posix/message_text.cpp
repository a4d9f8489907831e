#include "platform/message_text.h"

#include <algorithm>
#include <cstring>

#include "platform/message_format.h"
#include "platform/posix/message_table.h"

namespace kivo::platform {

bool find_message_text(std::uint32_t id, std::string& out, const std::vector<std::string>& inserts)
{
    const MessageTableEntry* begin = kMessageTable;
    const MessageTableEntry* end = kMessageTable + kMessageTableSize;
    auto it = std::lower_bound(begin, end, id,
                               [](const MessageTableEntry& e, std::uint32_t v) { return e.id < v; });
    if (it != end && it->id == id) {
        out = expand_message(it->text, inserts);
        return true;
    }
    // The system's texts: errno values stand in for Windows error codes.
    if (id > 0 && id < 4096) {
        char buffer[256];
        // GNU strerror_r: returns the text, which may or may not be in buffer.
        out = strerror_r(static_cast<int>(id), buffer, sizeof buffer);
        return true;
    }
    return false;
}

}  // namespace kivo::platform
