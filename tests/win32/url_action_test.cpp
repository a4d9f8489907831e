// The send-to-URL action through WinINet against a one-request HTTP server
// of the test's own on 127.0.0.1.
#include <doctest/doctest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>
#include <thread>

#include "filter/filter_actions.h"
#include "message/message.h"
#include "notify/system_filter_actions.h"

namespace {

// Accepts one connection, keeps the request's head, answers 200.
class OneRequestServer {
public:
    OneRequestServer()
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
    ~OneRequestServer()
    {
        closesocket(listener_);
        if (thread_.joinable())
            thread_.join();
        WSACleanup();
    }
    int port() const { return port_; }
    // The head of the request; waits for the server to finish.
    std::string request()
    {
        if (thread_.joinable())
            thread_.join();
        return head_;
    }
    int connections() const { return connections_; }

private:
    void serve()
    {
        for (;;) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{10, 0};
            if (select(0, &ready, nullptr, nullptr, &wait) <= 0)
                return;
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            ++connections_;
            char chunk[2048];
            while (head_.find("\r\n\r\n") == std::string::npos) {
                int got = recv(client, chunk, sizeof chunk, 0);
                if (got <= 0)
                    break;
                head_.append(chunk, static_cast<std::size_t>(got));
            }
            const char answer[] = "HTTP/1.0 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
            send(client, answer, sizeof answer - 1, 0);
            closesocket(client);
            // One request only; a second would show as a second connection.
            fd_set more;
            FD_ZERO(&more);
            FD_SET(listener_, &more);
            timeval brief{0, 300000};
            if (select(0, &more, nullptr, nullptr, &brief) > 0)
                ++connections_;
            return;
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::string head_;
    int connections_ = 0;
};

std::string header(const std::string& head, const std::string& name)
{
    std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos)
        return {};
    at += name.size() + 4;
    return head.substr(at, head.find("\r\n", at) - at);
}

}  // namespace

TEST_CASE("url action: one well-formed GET whose query carries the message's exact bytes")
{
    OneRequestServer server;
    kivo::Message message({"From: a@b", "To: Tom & Jerry <tj@x.com>", "Subject: #1 100%+=\xE9", "", "line one"}, 10);
    std::string base = "http://127.0.0.1:" + std::to_string(server.port()) + "/hook";
    REQUIRE(kivo::notify::http_get(kivo::filter::BuildQuery(base, message), 5000));
    std::string head = server.request();
    CHECK(head.rfind("GET /hook?to=%20Tom%20%26%20Jerry%20%3Ctj%40x.com%3E&cc=&bcc=&subject=%20%231%20100%25%2B%3D%E9"
                     "&emailbody=line%20one%0D%0A HTTP/1.1\r\n",
                     0) == 0);
    CHECK(header(head, "User-Agent") == "Kivo Email Checker");
    CHECK(server.connections() == 1);
}

TEST_CASE("url action: an address that does not answer fails quietly")
{
    // A port nobody listens on: refused at once, and the call returns.
    CHECK_FALSE(kivo::notify::http_get("http://127.0.0.1:1/none", 3000));
}
