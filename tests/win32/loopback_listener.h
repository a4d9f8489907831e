#pragma once
// A listening socket of the tests' own on 127.0.0.1, on a port the system
// picks, for the small servers that stand in for a web server.
#include <winsock2.h>

namespace kivo::test {

class LoopbackListener {
public:
    LoopbackListener()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int size = sizeof address;
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        listen(socket_, 4);
    }
    ~LoopbackListener()
    {
        close();
        WSACleanup();
    }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return port_; }
    SOCKET get() const { return socket_; }
    // Closing wakes a thread waiting in accept or select on it.
    void close()
    {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    // True when `s` has something to read within `ms` milliseconds.
    static bool readable(SOCKET s, long ms)
    {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(s, &ready);
        timeval wait{ms / 1000, (ms % 1000) * 1000};
        return select(0, &ready, nullptr, nullptr, &wait) > 0;
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
    int port_ = 0;
};

}  // namespace kivo::test
