// A stand-in for the mail system's MAPI32.DLL: records what MAPISendMail was
// given into the file named by KIVO_FAKE_MAPI_RECORD and answers with the
// number in KIVO_FAKE_MAPI_RESULT.
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <cstdlib>

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR parent, lpMapiMessage message,
                                                           FLAGS flags, ULONG)
{
    const char* record = std::getenv("KIVO_FAKE_MAPI_RECORD");
    if (record) {
        if (std::FILE* out = std::fopen(record, "w")) {
            std::fprintf(out, "session=%lu parent=%lu flags=%lu\n", static_cast<unsigned long>(session),
                         static_cast<unsigned long>(parent), static_cast<unsigned long>(flags));
            std::fprintf(out, "subject=%s\n", message->lpszSubject ? message->lpszSubject : "(null)");
            std::fprintf(out, "recipients=%lu\n", static_cast<unsigned long>(message->nRecipCount));
            for (ULONG i = 0; i < message->nRecipCount; ++i)
                std::fprintf(out, "to class=%lu name=%s address=%s\n",
                             static_cast<unsigned long>(message->lpRecips[i].ulRecipClass),
                             message->lpRecips[i].lpszName ? message->lpRecips[i].lpszName : "(null)",
                             message->lpRecips[i].lpszAddress ? message->lpRecips[i].lpszAddress : "(null)");
            std::fprintf(out, "text=%s", message->lpszNoteText ? message->lpszNoteText : "(null)");
            std::fclose(out);
        }
    }
    const char* result = std::getenv("KIVO_FAKE_MAPI_RESULT");
    return result ? static_cast<ULONG>(std::atoi(result)) : SUCCESS_SUCCESS;
}
