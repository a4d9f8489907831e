#include <doctest/doctest.h>

#include "platform/text.h"

using namespace kivo::platform;

TEST_CASE("text: case folding")
{
    CHECK(to_upper("Subject: x1") == "SUBJECT: X1");
    CHECK(to_lower("BoUNDary") == "boundary");
    CHECK(equal_no_case("Content-Type:", "CONTENT-type:"));
    CHECK_FALSE(equal_no_case("From:", "From"));
}

#ifndef _WIN32
TEST_CASE("text: the POSIX stand-ins for Windows-1252 and Windows-1251")
{
    set_code_page_for_tests(1252);
    CHECK(to_upper("\xE9\xFF\x9A\xDF\xF7") == "\xC9\x9F\x8A\xDF\xF7");  // é ÿ š ß ÷
    CHECK(to_lower("\xC9\x9F\x8C\xD7") == "\xE9\xFF\x9C\xD7");          // É Ÿ Œ ×
    set_code_page_for_tests(1251);
    CHECK(to_upper("\xE0\xFF\xB8\xB3\x90") == "\xC0\xDF\xA8\xB2\x80");  // а я ё і ђ
    CHECK(to_lower("\xC0\xDF\xA8\xBD") == "\xE0\xFF\xB8\xBE");
    CHECK(equal_no_case("\xF2\xE5\xEC\xE0", "\xD2\xC5\xCC\xC0"));
    set_code_page_for_tests(1252);
}

TEST_CASE("text: decimal separator")
{
    CHECK(decimal_separator() == ".");
    set_decimal_separator_for_tests(",");
    CHECK(decimal_separator() == ",");
    set_decimal_separator_for_tests("::");  // longer than one character
    CHECK(decimal_separator() == ".");
    set_decimal_separator_for_tests(".");
}
#else
TEST_CASE("text: the user's decimal separator is one character")
{
    CHECK(decimal_separator().size() == 1);
}
#endif
