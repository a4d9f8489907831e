#pragma once
// A web server of the tests' own on 127.0.0.1 that never answers.
#include <winsock2.h>

#include <atomic>
#include <thread>

#include "loopback_listener.h"
#include "platform/sync.h"

namespace kivo::test {

// Accepts one connection, reads what comes and never answers; notes when
// the client gives the connection up.
class SilentHttpServer {
public:
    SilentHttpServer() : thread_([this] { serve(); }) {}
    ~SilentHttpServer()
    {
        closing_ = true;
        listener_.close();
        if (thread_.joinable())
            thread_.join();
    }
    int port() const { return listener_.port(); }
    kivo::platform::Event accepted{true, false};
    kivo::platform::Event given_up{true, false};
    std::atomic<int> connections{0};

private:
    void serve()
    {
        if (!LoopbackListener::readable(listener_.get(), 15000))
            return;
        SOCKET client = accept(listener_.get(), nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        ++connections;
        accepted.set();
        char chunk[2048];
        for (int slice = 0; slice < 300 && !closing_; ++slice) {
            if (LoopbackListener::readable(client, 100) && recv(client, chunk, sizeof chunk, 0) <= 0) {
                given_up.set();
                break;
            }
        }
        closesocket(client);
        // A second connection would be a retry behind the caller's back.
        if (LoopbackListener::readable(listener_.get(), 300))
            ++connections;
    }

    std::atomic<bool> closing_{false};
    LoopbackListener listener_;
    // Last: it starts serving as soon as it is made.
    std::thread thread_;
};

}  // namespace kivo::test
