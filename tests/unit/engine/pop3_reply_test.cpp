// Reply parsing: MD5 and the APOP digest, where a reply ends, LIST and TOP
// splitting, and the receive buffer's growth.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstring>

#include "engine/md5.h"
#include "engine/pop3_reply.h"
#include "engine/receive_buffer.h"

using namespace kivo;
using Lines = std::vector<std::string>;

TEST_CASE("MD5 gives the RFC 1321 test vectors")
{
    CHECK(md5_hex("") == "d41d8cd98f00b204e9800998ecf8427e");
    CHECK(md5_hex("a") == "0cc175b9c0f1b6a831c399e269772661");
    CHECK(md5_hex("abc") == "900150983cd24fb0d6963f7d28e17f72");
    CHECK(md5_hex("message digest") == "f96b697d7cb7938d525a2f31aaf161d0");
    CHECK(md5_hex("abcdefghijklmnopqrstuvwxyz") == "c3fcd3d76192e4007dfb496cca67e13b");
    CHECK(md5_hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") ==
          "d174ab98d277d9f5a5611c2c9f419d9f");
    CHECK(md5_hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890") ==
          "57edf4a22be3c955ac49da2e2107b67a");
    // Lengths around the 56-byte padding boundary.
    CHECK(md5_hex(std::string(55, 'x')) != md5_hex(std::string(56, 'x')));
    CHECK(md5_hex(std::string(64, 'a')) == "014842d480b571495a4a0363793f7367");
}

TEST_CASE("APOP: the timestamp of the greeting and the digest of RFC 1939")
{
    std::string greeting = "+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>";
    CHECK(get_timestamp(greeting) == "<1896.697170952@dbc.mtview.ca.us>");
    CHECK(make_apop_digest(get_timestamp(greeting), "tanstaaf") == "c4c9334bac560ecc979e58001b3e22fb");
    CHECK(get_timestamp("+OK ready") == "");
    CHECK(get_timestamp("+OK > then <") == "");
    CHECK(get_timestamp("+OK <a> <b>") == "<a>");
}

TEST_CASE("where a reply ends")
{
    constexpr auto npos = std::string_view::npos;
    CHECK(find_reply_end("+OK hi\r\n", false) == 6);
    CHECK(find_reply_end("+OK hi\r", false) == npos);
    CHECK(find_reply_end("+OK\r\n1 2\r\n.\r\n", true) == 8);
    CHECK(find_reply_end("+OK\r\n.\r\n", true) == 3);
    CHECK(find_reply_end("+OK\r\n..\r\n", true) == npos);
    CHECK(find_reply_end("+OK\r\n1 2\r\n", true) == npos);
    // A refusal is one line: no waiting for a terminator that never comes.
    CHECK(find_reply_end("-ERR no such message\r\n", true) == 20);
    CHECK(find_reply_end("-ERR no such", true) == npos);
    CHECK(find_reply_end("+O", true) == npos);
    CHECK(find_reply_end("+\r\n", true) == 1);
    // Resuming after bytes already searched finds a terminator split across pieces.
    std::string reply = "+OK\r\nline\r\n.\r\n";
    for (std::size_t checked = 0; checked < reply.size(); ++checked)
        CHECK(find_reply_end(reply, true, checked) == 9);
}

TEST_CASE("LIST lines")
{
    auto entries = parse_list_reply("+OK 3 messages\r\n1 120\r\n2 4000\r\n3 77");
    REQUIRE(entries.size() == 3);
    CHECK(entries[0].number == 1);
    CHECK(entries[0].size == 120);
    CHECK(entries[2].number == 3);
    CHECK(entries[2].size == 77);

    SUBCASE("lines without a message number are left out; a missing size is -1")
    {
        auto odd = parse_list_reply("+OK\r\nx 1\r\n\r\n4\r\n-2 9\r\n0 5\r\n5 abc\r\n99999999999 1\r\n6 99999999999");
        REQUIRE(odd.size() == 3);
        CHECK(odd[0].number == 4);
        CHECK(odd[0].size == -1);
        CHECK(odd[1].number == 5);
        CHECK(odd[1].size == -1);
        CHECK(odd[2].number == 6);
        CHECK(odd[2].size == -1);
    }
    CHECK(parse_list_reply("+OK").empty());
}

TEST_CASE("TOP lines: every line after the status line, the last one too, un-stuffed")
{
    CHECK(split_reply_lines("+OK\r\nSubject: x\r\n\r\nbody\r\n..hidden\r\n.\r\nlast") ==
          Lines{"Subject: x", "", "body", ".hidden", ".", "last"});
    CHECK(split_reply_lines("+OK").empty());
    CHECK(split_reply_lines("+OK\r\n") == Lines{""});
    CHECK(split_reply_lines("+OK 12 octets\r\nA: b") == Lines{"A: b"});

    SUBCASE("into a list that held a longer reply: nothing of it is left")
    {
        Lines lines{"old 1", "old 2", "old 3", "old 4"};
        split_reply_lines("+OK\r\nA: b\r\n..x", lines);
        CHECK(lines == Lines{"A: b", ".x"});
        split_reply_lines("+OK\r\n1\r\n2\r\n3", lines);
        CHECK(lines == Lines{"1", "2", "3"});
        split_reply_lines("-ERR", lines);
        CHECK(lines.empty());
    }
}

TEST_CASE("line breaks in user texts")
{
    CHECK(has_line_break("bob\r\nDELE 1"));
    CHECK(has_line_break("bob\n"));
    CHECK(has_line_break("\rx"));
    CHECK_FALSE(has_line_break("bob smith"));
}

TEST_CASE("the receive buffer grows by 1024 when full and never shrinks")
{
    ReceiveBuffer buffer;
    CHECK(buffer.capacity() == 8192);
    CHECK(buffer.free_size() == 8192);
    CHECK(buffer.commit(8000));
    CHECK(buffer.capacity() == 8192);
    std::fill(buffer.free_space(), buffer.free_space() + buffer.free_size(), 'x');
    CHECK(buffer.commit(192));
    CHECK(buffer.capacity() == 9216);
    CHECK(buffer.size() == 8192);
    CHECK(buffer.text().substr(8000) == std::string(192, 'x'));
    buffer.clear();
    CHECK(buffer.capacity() == 9216);
    CHECK(buffer.free_size() == 9216);

    SUBCASE("a reply that never ends stops at the limit")
    {
        ReceiveBuffer endless;
        bool ok = true;
        while (ok && endless.size() < ReceiveBuffer::kMaxCapacity)
            ok = endless.commit(endless.free_size());
        CHECK_FALSE(ok);
        CHECK(endless.capacity() <= ReceiveBuffer::kMaxCapacity);
    }
}

TEST_CASE("CAPA: PIPELINING is found as a capability of its own, in any case")
{
    CHECK(kivo::capa_lists_pipelining("+OK\r\nTOP\r\nPIPELINING\r\nUIDL"));
    CHECK(kivo::capa_lists_pipelining("+OK list\r\npipelining"));
    CHECK(kivo::capa_lists_pipelining("+OK\r\nPIPELINING extra"));
    CHECK_FALSE(kivo::capa_lists_pipelining("+OK\r\nTOP\r\nPIPELININGX"));
    CHECK_FALSE(kivo::capa_lists_pipelining("+OK PIPELINING\r\nTOP"));  // the status line lists nothing
    CHECK_FALSE(kivo::capa_lists_pipelining("+OK\r\nX-PIPELINING"));
    CHECK_FALSE(kivo::capa_lists_pipelining("-ERR\r\nPIPELINING"));
    CHECK_FALSE(kivo::capa_lists_pipelining(""));
}

TEST_CASE("receive buffer: the bytes after a cut reply wait for the next one")
{
    kivo::ReceiveBuffer buffer;
    std::string stream = "+OK\r\nline\r\n.\r\n-ERR no\r\n+OK";
    std::memcpy(buffer.free_space(), stream.data(), stream.size());
    REQUIRE(buffer.commit(stream.size()));

    std::size_t end = kivo::find_reply_end(buffer.text(), true);
    REQUIRE(end == 9);
    CHECK(kivo::reply_terminator_size(buffer.text(), true) == 5);
    buffer.cut(end, end + 5);
    CHECK(buffer.text() == "+OK\r\nline");

    buffer.next_reply();
    CHECK(buffer.text() == "-ERR no\r\n+OK");
    end = kivo::find_reply_end(buffer.text(), true);  // a refusal is one line even where many were asked for
    REQUIRE(end == 7);
    CHECK(kivo::reply_terminator_size(buffer.text(), true) == 2);
    buffer.cut(end, end + 2);
    CHECK(buffer.text() == "-ERR no");

    buffer.next_reply();
    CHECK(buffer.text() == "+OK");
    CHECK(buffer.size() == 3);
    // The plain cut drops the rest: one command at a time, stray bytes answer nothing.
    buffer.cut(1);
    buffer.next_reply();
    CHECK(buffer.text().empty());
    CHECK(buffer.capacity() == kivo::ReceiveBuffer::kInitialCapacity);
}

TEST_CASE("capa_lists finds a capability as a whole first word, in any case, only in a +OK reply")
{
    CHECK(kivo::capa_lists("+OK\r\nUSER\r\nSTLS\r\nTOP", "STLS"));
    CHECK(kivo::capa_lists("+OK\r\nstls", "STLS"));
    CHECK(kivo::capa_lists("+OK\r\nSTLS\targ", "STLS"));
    // A man in the middle may rename it; a look-alike is not the thing.
    CHECK_FALSE(kivo::capa_lists("+OK\r\nXSTLS\r\nSTLSX", "STLS"));
    CHECK_FALSE(kivo::capa_lists("+OK STLS\r\nUSER", "STLS"));  // the status line is no capability
    CHECK_FALSE(kivo::capa_lists("-ERR\r\nSTLS", "STLS"));
    CHECK_FALSE(kivo::capa_lists("+OK\r\n STLS", "STLS"));
    CHECK_FALSE(kivo::capa_lists("", "STLS"));
    CHECK_FALSE(kivo::capa_lists("+OK\r\nSTLS", ""));
}

namespace {

// Reads every reply of `stream` the way the pipelined session does: the
// bytes arrive in pieces of `piece`, and each cut reply leaves the rest for
// the next one.
Lines read_stream(ReceiveBuffer& buffer, const std::string& stream, std::size_t piece, std::size_t replies)
{
    Lines got;
    std::size_t fed = 0;
    buffer.clear();
    for (std::size_t r = 0; r < replies; ++r) {
        buffer.next_reply();
        std::size_t checked = 0;
        for (;;) {
            std::size_t end = find_reply_end(buffer.text(), true, checked);
            if (end != std::string_view::npos) {
                buffer.cut(end, end + reply_terminator_size(buffer.text(), true));
                got.emplace_back(buffer.text());
                break;
            }
            checked = buffer.size();
            REQUIRE(buffer.make_room());
            REQUIRE(fed < stream.size());
            std::size_t n = std::min({piece, buffer.free_size(), stream.size() - fed});
            std::memcpy(buffer.free_space(), stream.data() + fed, n);
            fed += n;
            REQUIRE(buffer.commit(n));
        }
    }
    return got;
}

}  // namespace

TEST_CASE("receive buffer: a long stream of answers is read whole and does not grow the buffer")
{
    // 300 answers of about 1 KB, far more than the buffer holds at once.
    Lines expected;
    std::string stream;
    for (int i = 0; i < 300; ++i) {
        std::string reply = "+OK " + std::to_string(i) + "\r\n" + std::string(1000 + i % 7, char('a' + i % 26));
        expected.push_back(reply);
        stream += reply + "\r\n.\r\n";
    }
    ReceiveBuffer buffer;
    for (std::size_t piece : {std::size_t{1}, std::size_t{333}, std::size_t{4096}, std::size_t{1} << 20}) {
        CAPTURE(piece);
        CHECK(read_stream(buffer, stream, piece, expected.size()) == expected);
        // The answers are small: the buffer only ever needs room for one.
        CHECK(buffer.capacity() == ReceiveBuffer::kInitialCapacity);
    }

    SUBCASE("an answer larger than the buffer behind others still grows it")
    {
        std::string big = "+OK big\r\n" + std::string(20000, 'z');
        std::string mixed = "+OK small\r\nx\r\n.\r\n" + big + "\r\n.\r\n+OK after\r\n.\r\n";
        CHECK(read_stream(buffer, mixed, 5000, 3) == Lines{"+OK small\r\nx", big, "+OK after"});
        CHECK(buffer.capacity() >= big.size());
        CHECK(buffer.capacity() < big.size() + 2 * ReceiveBuffer::kGrowth + 32);
    }
    SUBCASE("an answer in the stream that never ends stops at the limit")
    {
        read_stream(buffer, "+OK\r\n.\r\n+OK endless", 64, 1);
        buffer.next_reply();
        std::size_t rounds = 0;
        while (buffer.make_room() && rounds++ < ReceiveBuffer::kMaxCapacity)
            REQUIRE(buffer.commit(buffer.free_size()));
        CHECK(buffer.text().substr(0, 11) == "+OK endless");
        CHECK(buffer.capacity() <= ReceiveBuffer::kMaxCapacity);
        CHECK(buffer.capacity() + ReceiveBuffer::kGrowth > ReceiveBuffer::kMaxCapacity);
    }
}
