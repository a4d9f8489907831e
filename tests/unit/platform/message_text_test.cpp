#include <doctest/doctest.h>

#include "message_ids.h"
#include "platform/message_format.h"
#include "platform/message_text.h"

using kivo::platform::expand_message;
using kivo::platform::find_message_text;
using kivo::platform::message_text;

TEST_CASE("message texts: the program's own table, with and without inserts")
{
    CHECK(message_text(kivo::MSG_WARNING_CAPTION) == "Kivo Email Checker Warning");
    CHECK(message_text(kivo::MSG_UNEXPECTED_ERROR) == "Unexpected Error.");
    CHECK(message_text(kivo::MSG_STATE_NOT_STARTED) == "not started");
    CHECK(message_text(kivo::MSG_NONE) == "None");
    CHECK(message_text(kivo::MSG_UNEXPECTED_ERROR_IN, {"Acc_Pop3, 120"}) == "Unexpected Error in 'Acc_Pop3, 120'.");
    CHECK(message_text(kivo::MSG_NETWORK_ERROR, {"10061"}) == "Network error 10061");
    CHECK(message_text(kivo::MSG_SIZE_KB, {"1.5"}) == "1.5 KB");
    // Without inserts the pattern stays as stored.
    CHECK(message_text(kivo::MSG_NETWORK_ERROR) == "Network error %1");
}

TEST_CASE("message texts: the numbers keep their severity bits")
{
    CHECK(kivo::MSG_UNEXPECTED_ERROR == 0xC0000200u);
    CHECK(kivo::MSG_UNEXPECTED_ERROR_IN == 0xC0000204u);
    CHECK(kivo::MSG_WARNING_CAPTION == 0x40000462u);
    CHECK(kivo::MSG_STATE_DISABLED == 0x40000435u);
    // Without its severity bits the number is another one.
    CHECK(message_text(0x405) != "not started");
}

TEST_CASE("message texts: an unknown number gives no text")
{
    std::string text = "kept";
    CHECK_FALSE(find_message_text(0x4000FFF0u, text));
    CHECK(message_text(0x4000FFF0u).empty());
}

TEST_CASE("message texts: a system error code gives the system's wording")
{
    std::string text;
    CHECK(find_message_text(2, text));  // "file not found" on both systems
    CHECK_FALSE(text.empty());
    CHECK(text.find('\n') == std::string::npos);
}

TEST_CASE("message patterns expand like FormatMessage")
{
    CHECK(expand_message("a %1 b %2\r\n", {"x", "y"}) == "a x b y");
    CHECK(expand_message("%1!s! done\r\n", {"it"}) == "it done");
    CHECK(expand_message("100%% sure%0 not this", {"x"}) == "100% sure");
    CHECK(expand_message("line%nnext\r\n", {"x"}) == "line\r\nnext");
    CHECK(expand_message("%2 only\r\n", {"x"}) == " only");  // a missing insert is empty
    CHECK(expand_message("%10 ten\r\n", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "X"}) == "X ten");
    CHECK(expand_message("end %", {"x"}) == "end %");
    CHECK(expand_message("keep %1\r\n", {}) == "keep %1");
}
