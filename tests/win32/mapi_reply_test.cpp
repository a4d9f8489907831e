// Reply through a recording stand-in for MAPI32.DLL (Wine's own reports
// success without sending anything, so it cannot show what was sent).
#include <doctest/doctest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "message/message.h"
#include "message_ids.h"
#include "notify/mapi_reply.h"
#include "win32/test_files.h"

using kivo::notify::ReplyFields;
using kivo::notify::ReplyResult;

using kivo::test::beside_this_program;

namespace {

struct FakeMapi {
    std::string library = beside_this_program("fake_mapi.dll");
    std::string record = beside_this_program("fake_mapi.record");
    FakeMapi()
    {
        _putenv(("KIVO_FAKE_MAPI_RECORD=" + record).c_str());
        answer(0);
    }
    ~FakeMapi() { DeleteFileA(record.c_str()); }
    void answer(int code) { _putenv(("KIVO_FAKE_MAPI_RESULT=" + std::to_string(code)).c_str()); }
};

}  // namespace

TEST_CASE("reply: the sender, the subject as it is and the preview lines reach the mail system")
{
    FakeMapi mapi;
    kivo::Message message({"From: Ann Smith <ann@example.com>", "Subject: Lunch?", "", "See you", "at noon"}, 100);
    REQUIRE(kivo::notify::send_reply(ReplyFields::from(message), mapi.library) == ReplyResult::sent);
    CHECK(kivo::test::read_file(mapi.record) == "session=0 parent=0 flags=9\n"
                               "subject= Lunch?\n"
                               "recipients=1\n"
                               "to class=1 name= Ann Smith <ann@example.com> address=(null)\n"
                               "text=See you\r\nat noon\r\n");

    // Nothing to reply to: empty fields and no recipient, not "None".
    kivo::Message bare({"Date: today", "", "hi"}, 10);
    REQUIRE(kivo::notify::send_reply(ReplyFields::from(bare), mapi.library) == ReplyResult::sent);
    CHECK(kivo::test::read_file(mapi.record) == "session=0 parent=0 flags=9\nsubject=\nrecipients=0\ntext=hi\r\n");
}

TEST_CASE("reply: each failure has its text; a cancel or a failed logon shows nothing")
{
    FakeMapi mapi;
    ReplyFields fields{"s", "a@b", "t"};
    mapi.answer(1);  // the user closed the compose window
    CHECK(kivo::notify::send_reply(fields, mapi.library) == ReplyResult::cancelled);
    mapi.answer(3);  // logon failed
    CHECK(kivo::notify::send_reply(fields, mapi.library) == ReplyResult::cancelled);
    mapi.answer(2);
    CHECK(kivo::notify::send_reply(fields, mapi.library) == ReplyResult::failed);
    CHECK(kivo::notify::reply_error_text(ReplyResult::failed) == kivo::MSG_MAPI_SEND_FAILED);
    CHECK(kivo::notify::send_reply(fields, beside_this_program("no_such.dll")) == ReplyResult::no_library);
    CHECK(kivo::notify::reply_error_text(ReplyResult::no_library) == kivo::MSG_MAPI_CANNOT_LOAD);
    // A library that is not a mail system.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    CHECK(kivo::notify::send_reply(fields, std::string(system) + "\\version.dll") == ReplyResult::no_function);
    CHECK(kivo::notify::reply_error_text(ReplyResult::no_function) == kivo::MSG_MAPI_INVALID_DLL);
    CHECK_FALSE(kivo::notify::reply_error_text(ReplyResult::cancelled).has_value());
}

TEST_CASE("reply: the mail system is taken from the system folder, never from beside the program")
{
    char system[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(system, MAX_PATH);
    REQUIRE(n > 0);
    CHECK(kivo::notify::system_mapi_library() == std::string(system, n) + "\\MAPI32.DLL");
}
