#include <doctest/doctest.h>

#include <thread>

#include "engine/internet_connection.h"
#include "support/fake_modem.h"

using kivo::ConnectionType;
using kivo::InternetConnection;
using kivo::test::FakeModem;
using namespace kivo::platform;

namespace {

struct Rig {
    FakeModem* modem;
    ConnectionType type = ConnectionType::dialup_modem;
    InternetConnection connection;
    Rig() : Rig(std::make_unique<FakeModem>()) {}
    explicit Rig(std::unique_ptr<FakeModem> m)
        : modem(m.get()), connection(std::move(m), [this] { return type; })
    {
        connection.set_poll(1, 50);
    }
};

}  // namespace

TEST_CASE("dial-up: two checks over a modem dial once and hang up once, after the second")
{
    Rig rig;
    CHECK(rig.connection.connect());  // first account dials
    CHECK(rig.connection.connect());  // second joins the dialled line
    CHECK(rig.modem->dials == 1);
    CHECK(rig.connection.use_count() == 2);
    rig.connection.release();
    CHECK(rig.modem->hangups == 0);
    rig.connection.release();
    CHECK(rig.modem->hangups == 1);
    CHECK(rig.connection.use_count() == 0);
}

TEST_CASE("dial-up: no dialling or hanging up on a LAN, without dial-up networking or without WinINet")
{
    SUBCASE("LAN type")
    {
        Rig rig;
        rig.type = ConnectionType::lan;
        CHECK(rig.connection.connect());
        rig.connection.release();
    }
    SUBCASE("no dial-up networking installed")
    {
        Rig rig;
        rig.modem->setup = kConnectionModem;
        CHECK(rig.connection.connect());
        rig.connection.release();
    }
    SUBCASE("no modem configured")
    {
        Rig rig;
        rig.modem->setup = kConnectionRasInstalled | kConnectionLan;
        CHECK(rig.connection.connect());
        rig.connection.release();
    }
    SUBCASE("WinINet missing")
    {
        Rig rig;
        rig.modem->present = false;
        CHECK(rig.connection.connect());
        rig.connection.release();
    }
    SUBCASE("the system's own dial-up support")
    {
        InternetConnection system(make_system_dialup(), [] { return ConnectionType::lan; });
        CHECK(system.connect());
        system.release();
    }
}

TEST_CASE("dial-up: a connection that was up before is never hung up by the program")
{
    Rig rig;
    rig.modem->up = true;
    CHECK(rig.connection.connect());
    CHECK(rig.connection.was_up_before());
    rig.connection.release();
    CHECK(rig.modem->dials == 0);
    CHECK(rig.modem->hangups == 0);

    // Once no check uses it, the next check looks afresh: a line the program
    // dials itself later is hung up again.
    rig.modem->up = false;
    CHECK(rig.connection.connect());
    CHECK(rig.modem->dials == 1);
    rig.connection.release();
    CHECK(rig.modem->hangups == 1);
}

TEST_CASE("dial-up: a failed dial fails the check and counts no use")
{
    Rig rig;
    rig.modem->dial_works = false;
    CHECK_FALSE(rig.connection.connect());
    CHECK(rig.connection.use_count() == 0);
    rig.modem->dial_works = true;
    CHECK(rig.connection.connect());
    CHECK(rig.modem->dials == 2);
}

TEST_CASE("dial-up: a line that dropped during the check still ends the use, so the next check dials")
{
    Rig rig;
    CHECK(rig.connection.connect());
    rig.modem->up = false;  // the line dropped
    rig.connection.release();
    CHECK(rig.connection.use_count() == 0);
    CHECK(rig.modem->hangups == 0);
    CHECK(rig.connection.connect());
    CHECK(rig.modem->dials == 2);
}

TEST_CASE("dial-up: a dialled line that is never reported up ends the wait at its limit")
{
    struct SlowModem : FakeModem {
        bool autodial() override
        {
            ++dials;
            return true;  // dialled, but the state never shows it
        }
    };
    Rig rig(std::make_unique<SlowModem>());
    CHECK(rig.connection.connect());
    CHECK(rig.connection.use_count() == 1);
}
