// The send-to-URL action through WinINet against a one-request HTTP server
// of the test's own on 127.0.0.1.
#include <doctest/doctest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/account.h"
#include "engine/host_bridge.h"
#include "engine/shared_settings.h"
#include "filter/filter_actions.h"
#include "log/log.h"
#include "message/message.h"
#include "notify/system_filter_actions.h"
#include "platform/sync.h"
#include "silent_http_server.h"

namespace {

// Accepts one connection, keeps the request's head, answers 200.
class OneRequestServer {
public:
    OneRequestServer() : thread_([this] { serve(); }) {}
    ~OneRequestServer()
    {
        listener_.close();
        if (thread_.joinable())
            thread_.join();
    }
    int port() const { return listener_.port(); }
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
            if (!kivo::test::LoopbackListener::readable(listener_.get(), 10000))
                return;
            SOCKET client = accept(listener_.get(), nullptr, nullptr);
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
            if (kivo::test::LoopbackListener::readable(listener_.get(), 300))
                ++connections_;
            return;
        }
    }

    kivo::test::LoopbackListener listener_;
    std::string head_;
    int connections_ = 0;
    // Last: it starts serving as soon as it is made.
    std::thread thread_;
};

// Dialog boxes (#32770) of this process shown while it lives.
class BoxSpotter {
public:
    BoxSpotter()
        : thread_([this] {
              while (!done_) {
                  EnumWindows(&BoxSpotter::look, reinterpret_cast<LPARAM>(this));
                  Sleep(20);
              }
          })
    {
    }
    ~BoxSpotter()
    {
        done_ = true;
        thread_.join();
    }
    int seen() const { return seen_; }

private:
    static BOOL CALLBACK look(HWND window, LPARAM self)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (pid == GetCurrentProcessId() && IsWindowVisible(window) && std::string(name) == "#32770")
            ++reinterpret_cast<BoxSpotter*>(self)->seen_;
        return TRUE;
    }
    std::atomic<bool> done_{false};
    std::atomic<int> seen_{0};
    std::thread thread_;
};

std::vector<std::string> log_lines_after(std::uint64_t sequence)
{
    std::vector<std::string> lines;
    for (const kivo::Log::NumberedLine& line : kivo::app_log().recent_numbered())
        if (line.sequence > sequence)
            lines.push_back(line.text);
    return lines;
}

std::uint64_t last_log_sequence()
{
    std::vector<kivo::Log::NumberedLine> lines = kivo::app_log().recent_numbered();
    return lines.empty() ? 0 : lines.back().sequence;
}

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

TEST_CASE("url action: the account's stop ends a request the server never answers")
{
    using Clock = std::chrono::steady_clock;
    kivo::test::SilentHttpServer server;
    kivo::SharedSettings shared;
    kivo::HostBridge bridge(shared);
    kivo::Account account;
    kivo::notify::SystemFilterActions actions(bridge, account);
    std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/slow?subject=x";
    std::uint64_t before = last_log_sequence();

    SUBCASE("stopped while it waits for the answer")
    {
        BoxSpotter boxes;
        Clock::time_point stopped_at{};
        std::thread stopper([&] {
            if (server.accepted.wait(10000))
                stopped_at = Clock::now();
            // Stopped even if the request never got through, so the test ends.
            account.stop_event().set();
        });
        actions.SendToUrl(url);  // blocks for the 10 s time-out unless stopped
        Clock::time_point returned = Clock::now();
        stopper.join();
        REQUIRE(stopped_at != Clock::time_point{});
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(returned - stopped_at).count();
        MESSAGE("returned " << took << " ms after the stop");
        // Well inside the 2000 ms an account thread is given to end.
        CHECK(took < 1000);
        CHECK(boxes.seen() == 0);
        std::vector<std::string> lines = log_lines_after(before);
        REQUIRE(lines.size() == 1);
        CHECK(lines[0].find("was stopped") != std::string::npos);
        CHECK(lines[0].find(url) != std::string::npos);
    }
    SUBCASE("already stopped: no connection is made")
    {
        account.stop_event().set();
        actions.SendToUrl(url);
        CHECK_FALSE(server.accepted.wait(300));
        CHECK(server.connections == 0);
    }
    SUBCASE("never stopped: the time-out ends it, and the connection with it")
    {
        kivo::platform::Event never(true, false);
        CHECK_FALSE(kivo::notify::http_get(url, 500, &never));
        CHECK(server.given_up.wait(3000));
        std::vector<std::string> lines = log_lines_after(before);
        REQUIRE(lines.size() == 1);
        CHECK(lines[0].find("no answer within 500 ms") != std::string::npos);
    }
}
