#include <doctest/doctest.h>

#include "platform/net.h"

using namespace kivo::platform;

TEST_CASE("resolve: a dotted address is taken as it stands, in network byte order")
{
    NetworkStartup net;
    Event stop;
    Ipv4Address address;
    int error = -1;
    REQUIRE(resolve_ipv4("127.0.0.1", 110, address, error, stop) == NetStatus::ok);
    CHECK(address.valid);
    CHECK(error == 0);
    CHECK(to_dotted(address) == "127.0.0.1");
    const auto* port = reinterpret_cast<const unsigned char*>(&address.port);
    CHECK(port[0] == 0);
    CHECK(port[1] == 110);

    SUBCASE("without a look-up: a stop already set does not hide the address")
    {
        Event stopped(true, true);
        Ipv4Address again;
        CHECK(resolve_ipv4("10.1.2.3", 995, again, error, stopped) == NetStatus::ok);
        CHECK(to_dotted(again) == "10.1.2.3");
        const auto* bytes = reinterpret_cast<const unsigned char*>(&again.port);
        CHECK((bytes[0] == 0x03 && bytes[1] == 0xE3));  // 995 in network order
    }
    SUBCASE("only a dotted address is taken without a look-up")
    {
        Ipv4Address parsed;
        CHECK(parse_dotted_ipv4("192.168.0.7", 110, parsed));
        CHECK(parsed.valid);
        CHECK(parsed.port == address.port);
        CHECK_FALSE(parse_dotted_ipv4("localhost", 110, parsed));
        CHECK_FALSE(parsed.valid);
        CHECK_FALSE(parse_dotted_ipv4("", 110, parsed));
        CHECK_FALSE(parse_dotted_ipv4("mail.example.com", 110, parsed));
    }
}

TEST_CASE("resolve: a name that cannot exist fails with an error code")
{
    NetworkStartup net;
    Event stop;
    Ipv4Address address;
    int error = 0;
    CHECK(resolve_ipv4("no-such-host.invalid", 110, address, error, stop) == NetStatus::failed);
    CHECK_FALSE(address.valid);
    CHECK(error != 0);
}

TEST_CASE("resolve: a stop request ends the wait; it never reports a failure of its own")
{
    NetworkStartup net;
    Event stop(true, true);
    for (int i = 0; i < 20; ++i) {
        Ipv4Address address;
        int error = 0;
        NetStatus status = resolve_ipv4("localhost", 110, address, error, stop);
        // The worker may win the race with the stop; either way no error.
        CHECK((status == NetStatus::stopped || status == NetStatus::ok));
        CHECK(address.valid == (status == NetStatus::ok));
        CHECK(error == 0);
    }
}
