#include "platform/net.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kivo::platform {
namespace {

std::mutex g_lookup_lock;  // one name look-up at a time, as on Windows

int as_fd(std::intptr_t handle) { return static_cast<int>(handle); }

// Waits until the socket is ready for `events` (ok) or the stop event is set
// (stopped); failed with `error` when the wait itself fails.
// The stop event wins when both are.
NetStatus wait_ready(int fd, short events, Event& stop, int& error)
{
    for (;;) {
        pollfd fds[2] = {{static_cast<int>(stop.native_handle()), POLLIN, 0}, {fd, events, 0}};
        int n = ::poll(fds, 2, -1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return NetStatus::failed;
        }
        if (fds[0].revents != 0 || stop.is_set())
            return NetStatus::stopped;
        if (fds[1].revents != 0)
            return NetStatus::ok;  // errors and hang-ups show in the next call
    }
}

}  // namespace

NetworkStartup::NetworkStartup() = default;
NetworkStartup::~NetworkStartup() = default;

bool parse_dotted_ipv4(const std::string& host, std::uint16_t port, Ipv4Address& out)
{
    out = Ipv4Address{};
    in_addr dotted{};
    if (::inet_pton(AF_INET, host.c_str(), &dotted) != 1)
        return false;
    out.address = dotted.s_addr;
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
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* result = nullptr;
        int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &result);
        if (rc != 0 || !result) {
            error = rc == EAI_SYSTEM ? errno : rc;
            if (error == 0)
                error = EHOSTUNREACH;
            return false;
        }
        out.address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
        ::freeaddrinfo(result);
    }
    out.port = htons(port);
    out.valid = true;
    return true;
}

std::string to_dotted(const Ipv4Address& address)
{
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = address.address;
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
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

bool TcpSocket::is_open() const { return handle_ >= 0; }

void TcpSocket::close()
{
    if (handle_ >= 0)
        ::close(as_fd(handle_));
    handle_ = -1;
    quick_ack_ = false;
}

bool TcpSocket::request_immediate_acks()
{
    int one = 1;
    quick_ack_ = is_open() && ::setsockopt(as_fd(handle_), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one) == 0;
    return quick_ack_;
}

NetStatus TcpSocket::connect(const Ipv4Address& to, Event& /*socket_event*/, Event& stop, int& error)
{
    close();
    error = 0;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = errno;
        return NetStatus::failed;
    }
    handle_ = fd;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_OOBINLINE, &one, sizeof one);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = to.port;
    address.sin_addr.s_addr = to.address;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return NetStatus::ok;
    if (errno != EINPROGRESS && errno != EINTR) {
        error = errno;
        return NetStatus::failed;
    }
    if (NetStatus waited = wait_ready(fd, POLLOUT, stop, error); waited != NetStatus::ok)
        return waited;
    int result = 0;
    socklen_t size = sizeof result;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &result, &size) != 0)
        result = errno;
    if (result != 0) {
        error = result;
        return NetStatus::failed;
    }
    return NetStatus::ok;
}

NetStatus TcpSocket::send(const char* data, std::size_t size, Event& /*socket_event*/, Event& stop, int& error)
{
    error = 0;
    if (!is_open()) {
        error = EBADF;
        return NetStatus::failed;
    }
    while (size > 0) {
        if (stop.is_set())
            return NetStatus::stopped;
        ssize_t n = ::send(as_fd(handle_), data, size, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (NetStatus waited = wait_ready(as_fd(handle_), POLLOUT, stop, error); waited != NetStatus::ok)
                return waited;
            continue;
        }
        error = n < 0 ? errno : EPIPE;
        return error == EPIPE || error == ECONNRESET ? NetStatus::closed : NetStatus::failed;
    }
    return NetStatus::ok;
}

NetStatus TcpSocket::receive(char* buffer, std::size_t capacity, std::size_t& received, Event& /*socket_event*/,
                             Event& stop, int& error)
{
    received = 0;
    error = 0;
    if (!is_open()) {
        error = EBADF;
        return NetStatus::failed;
    }
    for (;;) {
        if (stop.is_set())
            return NetStatus::stopped;
        ssize_t n = ::recv(as_fd(handle_), buffer, capacity, 0);
        if (n > 0) {
            received = static_cast<std::size_t>(n);
            if (quick_ack_) {
                int one = 1;
                ::setsockopt(as_fd(handle_), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
            }
            return NetStatus::ok;
        }
        if (n == 0)
            return NetStatus::closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errno;
            return NetStatus::failed;
        }
        if (NetStatus waited = wait_ready(as_fd(handle_), POLLIN, stop, error); waited != NetStatus::ok)
            return waited;
    }
}

}  // namespace kivo::platform
