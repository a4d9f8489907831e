#include <doctest/doctest.h>

#include "message/crc32.h"
#include "message/format_size.h"
#include "message/message.h"
#include "support/message_lines.h"

using namespace kivo;
using kivo::test::make_message;

TEST_CASE("message: an empty line list keeps every default")
{
    Message m({}, 0);
    CHECK(m.from() == "None");
    CHECK(m.subject() == "None");
    CHECK(m.date() == "None");
    CHECK(m.to() == "None");
    CHECK(m.message_id() == "None");
    CHECK(m.cc().empty());
    CHECK(m.bcc().empty());
    CHECK(m.priority() == 3);
    CHECK(m.size_text() == "0 Bytes");
    CHECK(m.header_text().empty());
    CHECK(m.body_text().empty());
    CHECK_FALSE(m.has_attachment());
    CHECK(m.key() == crc32("NoneNoneNone0 Bytes"));
}

TEST_CASE("message: header values, first one wins, names with their colon")
{
    Message m = make_message(
        "subject: first\n"
        "Subject: second\n"
        "From:John\n"
        "From: Other\n"
        "To : nobody\n"
        "To: =?us-ascii?Q?me?=\n"
        "From-Agent: x\n"
        "Cc: a\n"
        "CC: b\n"
        "Bcc: c\n"
        "Date: Mon, 2 Mar 2026\n"
        "X-Priority: 5 (Lowest)\n"
        "\n"
        "Body 1\n"
        "\n"
        "Subject: not a header\n");
    CHECK(m.subject() == " first");
    CHECK(m.from() == "John");
    CHECK(m.to() == " me");
    CHECK(m.cc() == " a");
    CHECK(m.bcc() == " c");
    CHECK(m.date() == " Mon, 2 Mar 2026");
    CHECK(m.priority() == 5);
    CHECK(m.body_text() == "Body 1\r\n\r\nSubject: not a header\r\n");
    CHECK(m.header_text().rfind("subject: first\r\nSubject: second\r\nFrom:John\r\n", 0) == 0);
    CHECK(m.header_text().find("X-Priority: 5 (Lowest)\r\n") != std::string::npos);
}

TEST_CASE("message: folded headers")
{
    // The fold becomes one blank, so folded words stay apart.
    Message m = make_message("Subject: hi\n there\nFrom: a\n\t  \n\t<a@b>\nTo:\n =?us-ascii?Q?x?=\n  =?us-ascii?Q?y?=\n");
    CHECK(m.subject() == " hi there");
    CHECK(m.from() == " a <a@b>");
    CHECK(m.to() == " xy");
    CHECK(m.header_text() == "Subject: hi there\r\nFrom: a <a@b>\r\nTo: =?us-ascii?Q?x?= =?us-ascii?Q?y?=\r\n");
    CHECK(m.body_text().empty());  // no empty line: no body

    // A continuation line first stands alone and matches nothing.
    Message lead = make_message(" Subject: x\nSubject: y\n");
    CHECK(lead.subject() == " y");
    CHECK(lead.header_text() == "\r\n Subject: x\r\nSubject: y\r\n");
    // The lines that continue it are unfolded into it as into any other.
    Message two = make_message("\tfirst\n second\nFrom: a\n");
    CHECK(two.header_text() == "\r\n\tfirst second\r\nFrom: a\r\n");
    CHECK(two.from() == " a");
}

TEST_CASE("message: priority")
{
    struct Case {
        const char* header;
        int priority;
    } cases[] = {
        {"X-Priority: 1 (Highest)\n", 1}, {"X-Priority:5\n", 5},  {"X-Priority: urgent\n", 0},
        {"X-Priority:  -2\n", -2},        {"Subject: x\n", 3},     {"X-Priority: 99999999999\n", 2147483647},
    };
    for (const Case& c : cases)
        CHECK_MESSAGE(make_message(c.header).priority() == c.priority, c.header);
}

TEST_CASE("message: keys with and without Message-ID")
{
    const char* base = "From: a\nSubject: s\nDate: d\n";
    Message a = make_message(base, 1024);
    Message b = make_message(std::string(base) + "X-Other: differs\n", 1024);
    CHECK(a.key() == crc32(" a s d1.00 KB"));
    CHECK(a.key() == b.key());
    CHECK(a.key() != make_message(base, 2048).key());

    Message id = make_message(std::string(base) + "Message-ID: <1@x>\n");
    CHECK(id.message_id() == " <1@x>");
    CHECK(id.key() == crc32(" <1@x>"));

    // A blank Message-ID is no identity: the fields stand in, not key 0.
    Message empty_id = make_message(std::string(base) + "Message-ID:\n", 1024);
    CHECK(empty_id.message_id().empty());
    CHECK(empty_id.key() == a.key());
    CHECK(make_message(std::string(base) + "Message-ID:  \n", 1024).key() == a.key());
}

TEST_CASE("message: marks")
{
    Message m({}, 0);
    m.set_friendly(true);
    m.mark_deleted();
    CHECK(m.deleted());
    CHECK_FALSE(m.friendly());
    m.clear_deleted();
    CHECK_FALSE(m.deleted());
    m.set_seen();
    CHECK(m.seen());
    m.clear_seen();
    CHECK_FALSE(m.seen());
    m.set_spammer(true);
    m.set_uncertain(true);
    CHECK((m.spammer() && m.uncertain()));
}

TEST_CASE("crc32: the program's variant")
{
    CHECK(crc32("") == 0u);
    CHECK(crc32("abc") == 0xCA6598D0u);
    CHECK(crc32("c", crc32("ab")) == 0xCA6598D0u);
}

TEST_CASE("format_size: units, decimals and the separator")
{
    struct Case {
        std::int32_t size;
        const char* dot;
    } cases[] = {
        {0, "0 Bytes"},           {1000, "1000 Bytes"},     {1023, "1023 Bytes"},  {1024, "1.00 KB"},
        {1536, "1.50 KB"},        {10239, "9.99 KB"},       {10240, "10.0 KB"},    {15360, "15.0 KB"},
        {102399, "99.9 KB"},      {102400, "100 KB"},       {153600, "150 KB"},    {1048575, "1023 KB"},
        {1048576, "1.00 MB"},     {1073741824, "1.00 GB"},  {2147483647, "1.99 GB"},
        {-1, "3.99 GB"},  // 4294967295 bytes: wrapped LIST sizes are read as unsigned
    };
    for (const Case& c : cases)
        CHECK_MESSAGE(format_size(c.size, ".") == c.dot, c.size);
    CHECK(format_size(1024, ",") == "1,00 KB");
    CHECK(format_size(10240, ",") == "10,0 KB");
    CHECK(format_size(1024, "") == "1.00 KB");
    CHECK(format_size(1024, ". ") == "1.00 KB");
}
