#include <doctest/doctest.h>

#include "log/log.h"
#include "message/mime_decode.h"

using namespace kivo;

namespace {

std::string decode(const std::string& in)
{
    std::string out;
    mime_decode(in, out);
    return out;
}

template <typename F>
std::string run(F f, std::string_view in)
{
    std::string out;
    f(in, out);
    return out;
}

}  // namespace

TEST_CASE("base64: padding, short groups and invalid characters")
{
    auto b64 = [](std::string_view in, std::string& out) { decode_base64(in, out); };
    CHECK(run(b64, "QUJD") == "ABC");
    CHECK(run(b64, "QUI=") == "AB");
    CHECK(run(b64, "QQ==") == "A");
    CHECK(run(b64, "QUJDREVG") == "ABCDEF");
    // A group cut short yields its complete bytes only, never junk.
    CHECK(run(b64, "QUI") == "AB");
    CHECK(run(b64, "QQ") == "A");
    CHECK(run(b64, "Q") == "");
    // An invalid character contributes all-one bits.
    CHECK(run(b64, "Q!==") == "\xFF");
    CHECK(run(b64, "!Q==") == "\xFD");
}

TEST_CASE("quoted-printable escapes")
{
    auto qp = [](std::string_view in, std::string& out) { decode_quoted_printable(in, out); };
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"=41=42C", "ABC"}, {"=4", "=4"}, {"=ZZ", "=ZZ"}, {"=E9", "\xE9"}, {"=e9", "\xE9"},
        {"a_b", "a_b"},     {"x=", "x="}, {"a=\nb", "ab"}, {"=\xE9" "9", "=\xE9" "9"},
    };
    for (const Case& c : cases)
        CHECK_MESSAGE(run(qp, c.in) == c.out, c.in);
    std::string out;
    decode_quoted_printable("a_b=5F", out, true);
    CHECK(out == "a b_");
}

TEST_CASE("KOI8-R conversion to Windows-1251")
{
    auto koi = [](std::string_view in, std::string& out) { koi8r_to_cp1251(in, out); };
    CHECK(run(koi, "\xC1\xE1\xDF\xFF\xF0\xD2") == "\xE0\xC0\xFA\xDA\xCF\xF0");
    CHECK(run(koi, "\xA3\xB3") == "\xB8\xA8");  // ё Ё
    CHECK(run(koi, "\x9B\xB0\xB1\xBF\x80 az") == "\xBF\xA3\xB3\x9B\x80 az");
}

TEST_CASE("mime_decode: encoded words and the text around them")
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {" plain text", " plain text"},
        {" =?koi8-r?B?8NLJ18XU?=", " \xCF\xF0\xE8\xE2\xE5\xF2"},
        {" =?KOI8-R?B?8NLJ18XU?=", " \xCF\xF0\xE8\xE2\xE5\xF2"},
        {"=?utf-8?b?QUJD?=", "ABC"},
        {"=?iso-8859-1?Q?caf=E9_noir?=", "caf\xE9 noir"},
        {"=?iso-8859-1?q?a_b?=", "a b"},
        {"=?x?X?a_b=41?=", "a_bA"},  // unknown letter: quoted-printable
        {"Re: =?us-ascii?Q?a?=  tail", "Re: a  tail"},
        // White space between words is dropped, real text is not.
        {"=?us-ascii?Q?a?= \t =?us-ascii?Q?b?=", "ab"},
        {"=?us-ascii?Q?a?= and =?us-ascii?Q?b?=", "a and b"},
        // Incomplete words are kept as they stand.
        {"Price =? 10", "Price =? 10"},
        {"=?", "=?"},
        {"=?a?B", "=?a?B"},
        {"=?a?B?QUJD", "=?a?B?QUJD"},
        {"=?a?B?=", "=?a?B?="},
        {"=?a?\?\?=", "=?a?\?\?="},
        {"=?us-ascii?Q?ok?= then =?broken", "ok then =?broken"},
        // A word may start inside the previous word's "?=".
        {"=?a?Q?x?=?b?Q?y?=", "xy"},
    };
    for (const Case& c : cases)
        CHECK_MESSAGE(decode(c.in) == c.out, c.in);

    std::string out = "kept ";
    mime_decode("=?a?Q?x?=", out);
    CHECK(out == "kept x");  // appends
}
