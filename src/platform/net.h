#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sync.h"

namespace kivo::platform {

// Starts the socket library for as long as at least one object lives
// (Winsock: WSAStartup/WSACleanup once per process; nothing on POSIX).
class NetworkStartup {
public:
    NetworkStartup();
    ~NetworkStartup();
    NetworkStartup(const NetworkStartup&) = delete;
    NetworkStartup& operator=(const NetworkStartup&) = delete;
};

// An IPv4 socket address. Both numbers are kept in network byte order.
struct Ipv4Address {
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    bool valid = false;
};

// A dotted address is taken as it is; any other host is looked up by name,
// one look-up at a time in the whole process. On failure `error` holds the
// system's error code.
bool resolve_ipv4(const std::string& host, std::uint16_t port, Ipv4Address& out, int& error);

// A dotted address taken as it is, without a look-up; false (and `out`
// cleared) for any other host.
bool parse_dotted_ipv4(const std::string& host, std::uint16_t port, Ipv4Address& out);

enum class NetStatus;

// The same, waiting for the look-up on a thread of its own so that the stop
// event ends the wait at once (a name look-up itself cannot be broken off).
// A stopped look-up finishes in the background and its result is dropped.
NetStatus resolve_ipv4(const std::string& host, std::uint16_t port, Ipv4Address& out, int& error, Event& stop);

// The dotted form of an address (for logs and tests).
std::string to_dotted(const Ipv4Address& address);

enum class NetStatus {
    ok,       // done
    closed,   // the peer closed the connection (receive only: nothing left to read)
    failed,   // a socket error; see the error code
    stopped,  // the stop event was signalled while waiting
};

// One TCP connection. Every wait also wakes on a stop event, so another
// thread can break it at once. The socket event is the caller's manual-reset
// event, used on Windows for WSAEventSelect; POSIX polls the socket itself.
// Nothing here closes the socket on failure: the owner decides.
class TcpSocket {
public:
    TcpSocket() = default;
    ~TcpSocket();
    TcpSocket(TcpSocket&& other) noexcept;
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    bool is_open() const;
    void close();

    // Opens a stream socket and connects it. On success the socket is
    // non-blocking with out-of-band data inline.
    NetStatus connect(const Ipv4Address& to, Event& socket_event, Event& stop, int& error);

    // Sends all bytes, waiting whenever the system's buffer is full.
    NetStatus send(const char* data, std::size_t size, Event& socket_event, Event& stop, int& error);

    // Receives at least one byte (up to `capacity`) into `buffer`, waiting
    // when nothing has arrived yet.
    NetStatus receive(char* buffer, std::size_t capacity, std::size_t& received, Event& socket_event, Event& stop,
                      int& error);

    // Asks the system to acknowledge every segment at once instead of
    // delaying the ACK (Windows: SIO_TCP_SET_ACK_FREQUENCY 1; Linux:
    // TCP_QUICKACK, re-armed after each receive as Linux drops it again).
    // False when the system refuses or has no such control; nothing changes then.
    bool request_immediate_acks();

private:
    std::intptr_t handle_ = -1;
    bool quick_ack_ = false;
};

}  // namespace kivo::platform
