#pragma once
// A web server of the tests' own on 127.0.0.1 that never answers.
#include <winsock2.h>

#include <atomic>
#include <thread>

#include "platform/sync.h"

namespace kivo::test {

// Accepts one connection, reads what comes and never answers; notes when
// the client gives the connection up.
class SilentHttpServer {
public:
    SilentHttpServer()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int size = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        listen(listener_, 4);
        thread_ = std::thread([this] { serve(); });
    }
    ~SilentHttpServer()
    {
        closing_ = true;
        closesocket(listener_);
        if (thread_.joinable())
            thread_.join();
        WSACleanup();
    }
    int port() const { return port_; }
    kivo::platform::Event accepted{true, false};
    kivo::platform::Event given_up{true, false};
    std::atomic<int> connections{0};

private:
    void serve()
    {
        if (!readable(listener_, 15000))
            return;
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        ++connections;
        accepted.set();
        char chunk[2048];
        for (int slice = 0; slice < 300 && !closing_; ++slice) {
            if (readable(client, 100) && recv(client, chunk, sizeof chunk, 0) <= 0) {
                given_up.set();
                break;
            }
        }
        closesocket(client);
        // A second connection would be a retry behind the caller's back.
        if (readable(listener_, 300))
            ++connections;
    }
    static bool readable(SOCKET s, long ms)
    {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(s, &ready);
        timeval wait{ms / 1000, (ms % 1000) * 1000};
        return select(0, &ready, nullptr, nullptr, &wait) > 0;
    }

    std::atomic<bool> closing_{false};
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
};

}  // namespace kivo::test
