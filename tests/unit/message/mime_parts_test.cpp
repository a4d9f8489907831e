#include <doctest/doctest.h>

#include "message/message.h"
#include "support/message_lines.h"

using namespace kivo;
using kivo::test::make_message;

namespace {

MimePart content_type(const std::string& value)
{
    MimePart part;
    Message::parse_content_type(value, part);
    return part;
}

MimePart disposition(const std::string& value)
{
    MimePart part;
    Message::parse_content_disposition(value, part);
    return part;
}

}  // namespace

TEST_CASE("parse_content_type")
{
    MimePart p = content_type("multipart/mixed; Boundary=\"XYZ\"; charset=x");
    CHECK(p.type == "multipart");
    CHECK(p.subtype == "mixed");
    CHECK(p.type_parameters.at("boundary") == "XYZ");
    CHECK(p.type_parameters.at("charset") == "x");
    CHECK(p.delimiter == "--XYZ");
    CHECK(p.close_delimiter == "--XYZ--");

    // Type names are case-insensitive; stored as written.
    CHECK(content_type("Multipart/Mixed; boundary=b").delimiter == "--b");
    CHECK(content_type("multipart/MIXED; boundary=b").delimiter == "--b");
    // A trailing ";" does not lose the boundary.
    CHECK(content_type("multipart/mixed; boundary=b;").delimiter == "--b");
    // A quoted ";" stays in the value and starts no parameter.
    MimePart q = content_type("multipart/mixed; boundary=\"a;boundary=evil\"");
    CHECK(q.type_parameters.size() == 1);
    CHECK(q.delimiter == "--a;boundary=evil");

    // Multipart without a boundary becomes plain text.
    MimePart none = content_type("multipart/mixed; charset=x");
    CHECK(none.type == "text");
    CHECK(none.subtype == "plain");
    CHECK(none.type_parameters.empty());
    CHECK(none.delimiter.empty());

    // Malformed values keep what was read.
    CHECK(content_type("text").type == "text");
    CHECK(content_type("multipart/").delimiter.empty());
    CHECK(content_type("multipart/mixed; boundary=").delimiter.empty());
    CHECK(content_type("multipart/mixed; boundary=\"").delimiter.empty());
    CHECK(content_type("text/plain; =x; a=b").type_parameters.empty());
    CHECK(content_type("").type.empty());
}

TEST_CASE("parse_content_disposition")
{
    MimePart p = disposition("attachment; FileName=\"report.pdf\"; size=10");
    CHECK(p.disposition == "attachment");
    CHECK(p.disposition_parameters.at("filename") == "report.pdf");
    CHECK(p.disposition_parameters.at("size") == "10");

    CHECK(disposition("attachment; filename=\"a \\\"b\\\"\"").disposition_parameters.at("filename") ==
          "a \\\"b\\\"");
    MimePart q = disposition("attachment; filename=\"x;filename=evil.exe\"");
    CHECK(q.disposition_parameters.size() == 1);
    CHECK(q.disposition_parameters.at("filename") == "x;filename=evil.exe");

    CHECK(disposition("inline").disposition == "inline");
    CHECK(disposition("; filename=a").disposition.empty());
    CHECK(disposition("attachment; filename=").disposition_parameters.empty());
    CHECK(disposition("attachment; =a; filename=b").disposition_parameters.empty());
    CHECK(disposition("attachment;filename=a b ").disposition_parameters.at("filename") == "a b ");
}

TEST_CASE("attachments in the message and its parts")
{
    Message own = make_message("Content-Disposition: attachment; filename=\"report.pdf\"\n");
    CHECK(own.has_attachment());
    CHECK(own.attachment_names() == std::vector<std::string>{"report.pdf"});
    CHECK(make_message("Content-Disposition: Attachment; filename=a\n").has_attachment());
    CHECK_FALSE(make_message("Content-Disposition: inline; filename=a\n").has_attachment());
    Message unnamed = make_message("Content-Disposition: attachment\n");
    CHECK(unnamed.has_attachment());
    CHECK(unnamed.attachment_names().empty());

    const std::string body =
        "\n"
        "preamble\n"
        "--XYZ\n"
        "Content-Type: text/plain\n"
        "\n"
        "hello\n"
        "--XYZ\n"
        "Content-Type: multipart/alternative;\n"
        " boundary=\"ALT\"\n"
        "\n"
        "--ALT\n"
        "Content-Type: text/plain\n"
        "\n"
        "--ALT\n"
        "Content-Type: application/pdf\n"
        "Content-Disposition: attachment;\n"
        "\tfilename=\"inner.pdf\"\n"
        "\n"
        "JVBERi0=\n"
        "--ALT--\n"
        "--XYZ\n"
        "Content-Disposition: attachment; filename=outer.zip\n"
        "\n"
        "UEsDBA==\n"
        "--XYZ--\n";
    Message m = make_message("Subject: parts\nContent-Type: multipart/mixed; boundary=XYZ\n" + body);
    CHECK(m.has_attachment());
    CHECK(m.attachment_names() == std::vector<std::string>{"inner.pdf", "outer.zip"});
    CHECK(m.body_text().find("--XYZ\r\nContent-Disposition: attachment; filename=outer.zip\r\n") !=
          std::string::npos);

    // Without a boundary the body is not scanned.
    CHECK_FALSE(make_message("Content-Type: multipart/mixed\n" + body).has_attachment());

    // Cut off by the TOP line count before the part header.
    auto lines = kivo::test::split_lines("Content-Type: multipart/mixed; boundary=XYZ\n" + body);
    lines.resize(22);  // ends just after "--XYZ" before outer.zip
    REQUIRE(lines.back() == "--XYZ");
    Message cut(lines, 100);
    CHECK(cut.attachment_names() == std::vector<std::string>{"inner.pdf"});
    lines.resize(13);
    CHECK_FALSE(Message(lines, 100).has_attachment());
}

TEST_CASE("multipart nesting deeper than the limit is not followed")
{
    std::string raw = "Content-Type: multipart/mixed; boundary=b0\n\n";
    const int depth = Message::kMaxMultipartDepth + 5;
    for (int i = 0; i < depth; ++i)
        raw += "--b" + std::to_string(i) + "\nContent-Type: multipart/mixed; boundary=b" + std::to_string(i + 1) +
               "\n\n";
    raw += "--b" + std::to_string(depth) + "\nContent-Disposition: attachment; filename=deep\n\n";
    CHECK_FALSE(make_message(raw).has_attachment());

    std::string shallow = "Content-Type: multipart/mixed; boundary=b0\n\n--b0\n"
                          "Content-Type: multipart/mixed; boundary=b1\n\n--b1\n"
                          "Content-Disposition: attachment; filename=ok\n\n";
    CHECK(make_message(shallow).attachment_names() == std::vector<std::string>{"ok"});
}
