#pragma once
#include <cstdint>
#include <string>

namespace kivo::platform {
class Event;
}

namespace kivo::notify {

// A web address that does not answer must not hold an account's thread (or
// a dialog's "Test") for WinINet's own minutes.
inline constexpr std::uint32_t kUrlTimeoutMs = 10000;

// One GET of the address; true once the head of an answer came, the rest
// is dropped. False, with one log line, when it could not be made, did not
// answer within `timeout_ms`, or `stop` was set meanwhile. The user agent
// is "Kivo Email Checker".
//
// The request runs asynchronously and the caller waits for its answer or
// for the stop event, whichever comes first: an account thread that is told
// to stop gives the request up at once (its handles closed, so WinINet
// drops the connection) and never waits out a time-out.
bool http_get(const std::string& url, std::uint32_t timeout_ms = kUrlTimeoutMs,
              platform::Event* stop = nullptr);

}  // namespace kivo::notify
