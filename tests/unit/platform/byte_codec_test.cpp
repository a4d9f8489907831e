// The little-endian codec and the UTF-16LE record framing that kivo.dat and
// the filter lists share.
#include <doctest/doctest.h>

#include "platform/byte_codec.h"
#include "platform/utf16_record.h"
#include "support/le_bytes.h"

using namespace kivo::platform;
using kivo::test::bytes;
using kivo::test::le_u32;

TEST_CASE("byte codec: little-endian values, and a short read fails where it stands")
{
    ByteWriter out;
    out.put_u8(0x7F);
    out.put_u16(0xA1B2);
    out.put_u32(0x01020304);
    out.put_i32(-2);
    out.put_bytes("xy");
    CHECK(out.bytes() == bytes({0x7F, 0xB2, 0xA1, 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 'x', 'y'}));

    ByteReader in(out.bytes());
    std::uint8_t b = 0;
    std::uint32_t u = 0;
    std::int32_t i = 0;
    std::string_view rest;
    REQUIRE(in.get_u8(b));
    CHECK(b == 0x7F);
    REQUIRE(in.get_bytes(2, rest));
    REQUIRE(in.get_u32(u));
    CHECK(u == 0x01020304);
    REQUIRE(in.get_i32(i));
    CHECK(i == -2);
    CHECK(in.remaining() == 2);

    // Two bytes left: a u32 or three bytes fail and consume nothing.
    CHECK_FALSE(in.get_u32(u));
    CHECK(u == 0x01020304);
    CHECK_FALSE(in.get_bytes(3, rest));
    CHECK(in.remaining() == 2);
    REQUIRE(in.get_bytes(2, rest));
    CHECK(rest == "xy");
    CHECK_FALSE(in.get_u8(b));
}

TEST_CASE("utf-16 record: framing, the caller's limit, short and odd records")
{
    ByteWriter out;
    put_utf16_record(out, u"a\u0416");
    put_utf16_record(out, u"");
    CHECK(out.bytes() == le_u32(4) + bytes({'a', 0, 0x16, 0x04}) + le_u32(0));

    std::u16string units = u"stale";
    ByteReader in(out.bytes());
    REQUIRE(get_utf16_record(in, 4, units) == RecordStatus::ok);
    CHECK(units == u"a\u0416");
    REQUIRE(get_utf16_record(in, 4, units) == RecordStatus::ok);
    CHECK(units.empty());
    CHECK(get_utf16_record(in, 4, units) == RecordStatus::truncated);  // no count left

    SUBCASE("a count above the limit is refused before the text is read")
    {
        std::string record = le_u32(6) + bytes({'a', 0, 'b', 0, 'c', 0});
        ByteReader r(record);
        CHECK(get_utf16_record(r, 5, units) == RecordStatus::too_long);
        CHECK(r.remaining() == 6);
        ByteReader exact(record);
        CHECK(get_utf16_record(exact, 6, units) == RecordStatus::ok);
        CHECK(units == u"abc");
    }
    SUBCASE("a count beyond the bytes is a truncated record")
    {
        std::string record = le_u32(8) + bytes({'a', 0, 'b', 0});
        ByteReader r(record);
        CHECK(get_utf16_record(r, 100, units) == RecordStatus::truncated);
    }
    SUBCASE("an odd last byte is dropped; zero units are kept for the caller to judge")
    {
        std::string record = le_u32(5) + bytes({'a', 0, 0, 0, 'z'}) + "next";
        ByteReader r(record);
        REQUIRE(get_utf16_record(r, 100, units) == RecordStatus::ok);
        CHECK(units == std::u16string(u"a\0", 2));
        CHECK(r.remaining() == 4);
    }
}
