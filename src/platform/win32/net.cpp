#include "platform/net.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>
#include <mutex>

#ifndef SIO_TCP_SET_ACK_FREQUENCY
#define SIO_TCP_SET_ACK_FREQUENCY _WSAIOW(IOC_VENDOR, 23)
#endif

namespace kivo::platform {
namespace {

std::mutex g_startup_lock;
int g_startup_count = 0;

std::mutex g_lookup_lock;  // gethostbyname keeps its result per thread, but one look-up at a time is the rule

SOCKET as_socket(std::intptr_t handle) { return static_cast<SOCKET>(handle); }
HANDLE as_handle(Event& event) { return reinterpret_cast<HANDLE>(event.native_handle()); }

// Selects `interest` on the socket event, waits for it or the stop event,
// reads and clears the network events and deselects them again. The stop
// event wins when both are set.
NetStatus wait_network(SOCKET s, long interest, Event& socket_event, Event& stop, WSANETWORKEVENTS& events,
                       int& error)
{
    socket_event.reset();
    if (WSAEventSelect(s, as_handle(socket_event), interest) == SOCKET_ERROR) {
        error = WSAGetLastError();
        return NetStatus::failed;
    }
    HANDLE handles[2] = {as_handle(stop), as_handle(socket_event)};
    DWORD rc = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    NetStatus result = NetStatus::ok;
    if (rc != WAIT_OBJECT_0 + 1) {
        result = rc == WAIT_OBJECT_0 ? NetStatus::stopped : NetStatus::failed;
        if (result == NetStatus::failed)
            error = static_cast<int>(GetLastError());
    } else if (WSAEnumNetworkEvents(s, as_handle(socket_event), &events) == SOCKET_ERROR) {
        error = WSAGetLastError();
        result = NetStatus::failed;
    }
    WSAEventSelect(s, nullptr, 0);
    return result;
}

}  // namespace

NetworkStartup::NetworkStartup()
{
    std::lock_guard<std::mutex> guard(g_startup_lock);
    if (g_startup_count++ == 0) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 0), &data);  // a failure shows in the first socket call
    }
}

NetworkStartup::~NetworkStartup()
{
    std::lock_guard<std::mutex> guard(g_startup_lock);
    if (--g_startup_count == 0)
        WSACleanup();
}

bool parse_dotted_ipv4(const std::string& host, std::uint16_t port, Ipv4Address& out)
{
    out = Ipv4Address{};
    unsigned long dotted = inet_addr(host.c_str());
    if (dotted == INADDR_NONE || host.empty())
        return false;
    out.address = static_cast<std::uint32_t>(dotted);
    out.port = htons(port);
    out.valid = true;
    return true;
}

bool resolve_ipv4(const std::string& host, std::uint16_t port, Ipv4Address& out, int& error)
{
    error = 0;
    if (parse_dotted_ipv4(host, port, out))
        return true;
    {
        std::lock_guard<std::mutex> guard(g_lookup_lock);
        hostent* entry = gethostbyname(host.c_str());
        if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list ||
            !entry->h_addr_list[0]) {
            error = WSAGetLastError();
            if (error == 0)
                error = WSAHOST_NOT_FOUND;
            return false;
        }
        std::memcpy(&out.address, entry->h_addr_list[0], 4);
    }
    out.port = htons(port);
    out.valid = true;
    return true;
}

std::string to_dotted(const Ipv4Address& address)
{
    in_addr a{};
    a.s_addr = address.address;
    return inet_ntoa(a);
}

TcpSocket::~TcpSocket() { close(); }

TcpSocket::TcpSocket(TcpSocket&& other) noexcept : handle_(other.handle_), quick_ack_(other.quick_ack_)
{
    other.handle_ = -1;
    other.quick_ack_ = false;
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept
{
    if (this != &other) {
        close();
        handle_ = other.handle_;
        quick_ack_ = other.quick_ack_;
        other.handle_ = -1;
        other.quick_ack_ = false;
    }
    return *this;
}

bool TcpSocket::is_open() const { return handle_ != -1; }

void TcpSocket::close()
{
    if (handle_ != -1)
        closesocket(as_socket(handle_));
    handle_ = -1;
    quick_ack_ = false;
}

bool TcpSocket::request_immediate_acks()
{
    // Windows keeps the setting for the life of the socket; Wine and older
    // systems refuse it.
    DWORD frequency = 1;
    DWORD returned = 0;
    quick_ack_ = is_open() && WSAIoctl(as_socket(handle_), SIO_TCP_SET_ACK_FREQUENCY, &frequency, sizeof frequency,
                                       nullptr, 0, &returned, nullptr, nullptr) == 0;
    return quick_ack_;
}

NetStatus TcpSocket::connect(const Ipv4Address& to, Event& socket_event, Event& stop, int& error)
{
    close();
    error = 0;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        error = WSAGetLastError();
        return NetStatus::failed;
    }
    handle_ = static_cast<std::intptr_t>(s);

    // Non-blocking from the start, so the stop event can break the connect too.
    u_long on = 1;
    if (ioctlsocket(s, FIONBIO, &on) == SOCKET_ERROR) {
        error = WSAGetLastError();
        return NetStatus::failed;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = to.port;
    address.sin_addr.s_addr = to.address;
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        int rc = WSAGetLastError();
        if (rc != WSAEWOULDBLOCK) {
            error = rc;
            return NetStatus::failed;
        }
        WSANETWORKEVENTS events{};
        if (NetStatus waited = wait_network(s, FD_CONNECT, socket_event, stop, events, error); waited != NetStatus::ok)
            return waited;
        if ((events.lNetworkEvents & FD_CONNECT) && events.iErrorCode[FD_CONNECT_BIT] != 0) {
            error = events.iErrorCode[FD_CONNECT_BIT];
            return NetStatus::failed;
        }
    }
    BOOL inline_oob = TRUE;
    setsockopt(s, SOL_SOCKET, SO_OOBINLINE, reinterpret_cast<const char*>(&inline_oob), sizeof inline_oob);
    // WSAEventSelect leaves the socket non-blocking; say so once more, as the session relies on it.
    if (ioctlsocket(s, FIONBIO, &on) == SOCKET_ERROR) {
        error = WSAGetLastError();
        return NetStatus::failed;
    }
    return NetStatus::ok;
}

NetStatus TcpSocket::send(const char* data, std::size_t size, Event& socket_event, Event& stop, int& error)
{
    error = 0;
    if (!is_open()) {
        error = WSAENOTSOCK;
        return NetStatus::failed;
    }
    SOCKET s = as_socket(handle_);
    while (size > 0) {
        if (stop.is_set())
            return NetStatus::stopped;
        int chunk = size > 0x10000000u ? 0x10000000 : static_cast<int>(size);
        int n = ::send(s, data, chunk, 0);
        if (n != SOCKET_ERROR) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        int rc = WSAGetLastError();
        if (rc != WSAEWOULDBLOCK) {
            error = rc;
            return rc == WSAECONNRESET || rc == WSAECONNABORTED || rc == WSAESHUTDOWN ? NetStatus::closed
                                                                                     : NetStatus::failed;
        }
        WSANETWORKEVENTS events{};
        if (NetStatus waited = wait_network(s, FD_WRITE | FD_CLOSE, socket_event, stop, events, error); waited != NetStatus::ok)
            return waited;
        if ((events.lNetworkEvents & FD_WRITE) && events.iErrorCode[FD_WRITE_BIT] != 0) {
            error = events.iErrorCode[FD_WRITE_BIT];
            return NetStatus::failed;
        }
        if (events.lNetworkEvents & FD_CLOSE)
            return NetStatus::closed;
    }
    return NetStatus::ok;
}

NetStatus TcpSocket::receive(char* buffer, std::size_t capacity, std::size_t& received, Event& socket_event,
                             Event& stop, int& error)
{
    received = 0;
    error = 0;
    if (!is_open()) {
        error = WSAENOTSOCK;
        return NetStatus::failed;
    }
    SOCKET s = as_socket(handle_);
    int chunk = capacity > 0x10000000u ? 0x10000000 : static_cast<int>(capacity);
    bool peer_closed = false;
    for (;;) {
        if (stop.is_set())
            return NetStatus::stopped;
        int n = ::recv(s, buffer, chunk, 0);
        if (n > 0) {
            received = static_cast<std::size_t>(n);
            return NetStatus::ok;
        }
        if (n == 0)
            return NetStatus::closed;
        int rc = WSAGetLastError();
        if (rc != WSAEWOULDBLOCK) {
            error = rc;
            return NetStatus::failed;
        }
        // FD_CLOSE came and still nothing to read: the connection is over.
        if (peer_closed)
            return NetStatus::closed;
        WSANETWORKEVENTS events{};
        if (NetStatus waited = wait_network(s, FD_READ | FD_CLOSE, socket_event, stop, events, error); waited != NetStatus::ok)
            return waited;
        if ((events.lNetworkEvents & FD_READ) && events.iErrorCode[FD_READ_BIT] != 0) {
            error = events.iErrorCode[FD_READ_BIT];
            return NetStatus::failed;
        }
        // Data may still wait behind an FD_CLOSE; recv tells.
        if (events.lNetworkEvents & FD_CLOSE)
            peer_closed = true;
    }
}

}  // namespace kivo::platform
