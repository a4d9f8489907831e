#include "notify/mapi_reply.h"

#include <mapi.h>

#include <vector>

#include "message/message.h"
#include "message_ids.h"
#include "platform/message_text.h"

namespace kivo::notify {
namespace {

// The library, freed on every path.
struct Library {
    explicit Library(const std::string& path) : module(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {}
    ~Library()
    {
        if (module)
            FreeLibrary(module);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE module;
};

std::vector<char> writable(const std::string& text) { return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1); }

}  // namespace

ReplyFields ReplyFields::from(const Message& message)
{
    ReplyFields fields;
    if (message.has_subject())
        fields.subject = message.subject();
    if (message.has_from())
        fields.to = message.from();
    fields.text = message.body_text();
    return fields;
}

std::string system_mapi_library()
{
    char folder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    return std::string(folder, n) + "\\MAPI32.DLL";
}

ReplyResult send_reply(const ReplyFields& fields, const std::string& library_path)
{
    if (library_path.empty())
        return ReplyResult::no_library;
    Library library(library_path);
    if (!library.module)
        return ReplyResult::no_library;
    auto send = reinterpret_cast<LPMAPISENDMAIL>(
        reinterpret_cast<void*>(GetProcAddress(library.module, "MAPISendMail")));
    if (!send)
        return ReplyResult::no_function;

    std::vector<char> subject = writable(fields.subject), text = writable(fields.text), to = writable(fields.to);
    MapiRecipDesc recipient{};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = to.data();
    MapiMessage mail{};
    mail.lpszSubject = subject.data();
    mail.lpszNoteText = text.data();
    if (!fields.to.empty()) {
        mail.nRecipCount = 1;
        mail.lpRecips = &recipient;
    }
    ULONG result = send(0, 0, &mail, MAPI_LOGON_UI | MAPI_DIALOG, 0);
    switch (result) {
    case SUCCESS_SUCCESS:
        return ReplyResult::sent;
    case MAPI_USER_ABORT:
    case MAPI_E_LOGON_FAILURE:
        return ReplyResult::cancelled;
    default:
        return ReplyResult::failed;
    }
}

std::optional<std::uint32_t> reply_error_text(ReplyResult result)
{
    switch (result) {
    case ReplyResult::no_library:
        return MSG_MAPI_CANNOT_LOAD;
    case ReplyResult::no_function:
        return MSG_MAPI_INVALID_DLL;
    case ReplyResult::failed:
        return MSG_MAPI_SEND_FAILED;
    default:
        return std::nullopt;
    }
}

void reply(const Message& message, HWND owner)
{
    std::optional<std::uint32_t> error = reply_error_text(send_reply(ReplyFields::from(message), system_mapi_library()));
    if (!error)
        return;
    std::string text = platform::message_text(*error);
    std::string caption = platform::message_text(MSG_MAPI_ERROR_CAPTION);
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace kivo::notify
