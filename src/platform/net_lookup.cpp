#include <memory>
#include <thread>

#include "platform/net.h"

namespace kivo::platform {

NetStatus resolve_ipv4(const std::string& host, std::uint16_t port, Ipv4Address& out, int& error, Event& stop)
{
    out = Ipv4Address{};
    error = 0;
    // A dotted address needs no look-up, so no thread either.
    if (parse_dotted_ipv4(host, port, out))
        return NetStatus::ok;
    // Shared with the worker, which may outlive this call after a stop.
    struct Lookup {
        std::string host;
        std::uint16_t port = 0;
        Ipv4Address address;
        int error = 0;
        bool ok = false;
        Event done{true, false};
    };
    auto lookup = std::make_shared<Lookup>();
    lookup->host = host;
    lookup->port = port;
    try {
        std::thread([lookup] {
            lookup->ok = resolve_ipv4(lookup->host, lookup->port, lookup->address, lookup->error);
            lookup->done.set();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: look the name up here, unbreakable but correct.
        return resolve_ipv4(host, port, out, error) ? NetStatus::ok : NetStatus::failed;
    }
    if (wait_any({&lookup->done, &stop}, kInfinite) != 0)
        return NetStatus::stopped;
    lookup->done.is_set();  // takes the event's lock: the worker's results are visible after it
    if (!lookup->ok) {
        error = lookup->error;
        return NetStatus::failed;
    }
    out = lookup->address;
    return NetStatus::ok;
}

}  // namespace kivo::platform
