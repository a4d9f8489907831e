#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kivo {
class Message;
}

namespace kivo::notify {

enum class ReplyResult { sent, cancelled, no_library, no_function, failed };

// What a reply hands the mail system: the subject as it is (no prefix), the
// sender as the one "to" recipient for the mail system to resolve, and the
// preview lines as the text. A field the message did not have stays empty.
struct ReplyFields {
    std::string subject;
    std::string to;
    std::string text;
    static ReplyFields from(const Message& message);
};

// The system's MAPI32.DLL, from the system folder only: a copy beside the
// program or in the current folder is never loaded.
std::string system_mapi_library();

// Opens the mail system's compose window for the reply, through
// MAPISendMail of the library at `library_path`.
ReplyResult send_reply(const ReplyFields& fields, const std::string& library_path);

// The text the user is shown for a result, or none (sent, or cancelled by
// the user or at logon).
std::optional<std::uint32_t> reply_error_text(ReplyResult result);

// Replies to the message and shows what went wrong in a "MAPI error" box.
void reply(const Message& message, HWND owner);

}  // namespace kivo::notify
