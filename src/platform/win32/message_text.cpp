#include "platform/message_text.h"

#include <windows.h>

#include "platform/message_format.h"

namespace kivo::platform {

bool find_message_text(std::uint32_t id, std::string& out, const std::vector<std::string>& inserts)
{
    // FormatMessage reads up to 99 inserts; unused ones stay unread, but the
    // array must be long enough for every %n the text names.
    std::vector<DWORD_PTR> args(99, reinterpret_cast<DWORD_PTR>(""));
    for (std::size_t i = 0; i < inserts.size() && i < args.size(); ++i)
        args[i] = reinterpret_cast<DWORD_PTR>(inserts[i].c_str());
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM;
    flags |= inserts.empty() ? FORMAT_MESSAGE_IGNORE_INSERTS : FORMAT_MESSAGE_ARGUMENT_ARRAY;
    char* buffer = nullptr;
    DWORD n = FormatMessageA(flags, GetModuleHandleA(nullptr), id, 0, reinterpret_cast<LPSTR>(&buffer), 0,
                             inserts.empty() ? nullptr : reinterpret_cast<va_list*>(args.data()));
    if (n == 0 || buffer == nullptr)
        return false;
    out.assign(buffer, n);
    LocalFree(buffer);
    trim_line_end(out);
    return true;
}

}  // namespace kivo::platform
