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
        NetStatus status = resolve_ipv4("127.0.0.1", 110, address, error, stop);
        // The worker may win the race with the stop; either way no error.
        CHECK((status == NetStatus::stopped || status == NetStatus::ok));
        CHECK(address.valid == (status == NetStatus::ok));
        CHECK(error == 0);
    }
}
