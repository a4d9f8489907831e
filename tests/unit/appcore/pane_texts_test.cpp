#include <doctest/doctest.h>

#include <string>

#include "appcore/pane_texts.h"

using kivo::mailbox_size_text;
using kivo::parse_column_width;
using kivo::preview_header_text;

TEST_CASE("pane texts: the preview header cuts addresses before '<' and breaks the line with CR LF")
{
    CHECK(preview_header_text("From", "Ann <ann@x.org>", "To", "Bob <bob@y.org>", "Subject", "Hi") ==
          "From: Ann  To: Bob \r\nSubject: Hi");
    CHECK(preview_header_text("From", "", "To", "", "Subject", "") == "From: To: \r\nSubject: ");
    CHECK(preview_header_text("From", "<only@x.org>", "To", "plain@y.org", "Subject", "s") ==
          "From:  To: plain@y.org\r\nSubject: s");
}

TEST_CASE("pane texts: mailbox sizes beyond 32 bits keep their unit and value")
{
    CHECK(mailbox_size_text(0, ".") == "0 Bytes");
    CHECK(mailbox_size_text(1024, ".") == "1.00 KB");
    CHECK(mailbox_size_text(1536, ",") == "1,50 KB");
    CHECK(mailbox_size_text(5ll << 30, ".") == "5.00 GB");            // above 4 GB: no wrap
    CHECK(mailbox_size_text(3000ll << 30, ".") == "3000 GB");
    CHECK(mailbox_size_text(INT64_MAX, ".") == "8589934591 GB");     // no overflow in the scaling
    CHECK(mailbox_size_text(-5, ".") == "0 Bytes");
}

TEST_CASE("pane texts: a column width is the whole field, in range")
{
    CHECK(parse_column_width("120") == 120);
    CHECK(parse_column_width("  0 ") == 0);
    CHECK(parse_column_width("10000") == 10000);
    CHECK_FALSE(parse_column_width("10001"));
    CHECK_FALSE(parse_column_width("99999999999999999999999"));  // pasted: no wrap to a small number
    CHECK_FALSE(parse_column_width("4294967396"));               // 2^32 + 100
    CHECK_FALSE(parse_column_width("12px"));
    CHECK_FALSE(parse_column_width("-5"));
    CHECK_FALSE(parse_column_width(""));
}
