#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/net.h"
#include "platform/sync.h"
#include "support/eventually.h"

namespace kivo::test {

// A scenario on the fake POP3 server (tools/fake-pop3) that CTest starts for
// the test run; its control port is in the file named by the environment
// variable KIVO_FAKE_POP3_PORT_FILE. The scenario lives as long as this
// object: users, messages and faults first, then start(), then sessions
// against port(); commands() tells what the server received.
class FakePop3 {
public:
    FakePop3()
    {
        const char* file = std::getenv("KIVO_FAKE_POP3_PORT_FILE");
        if (!file)
            throw std::runtime_error("KIVO_FAKE_POP3_PORT_FILE is not set (run the test through ctest)");
        std::ifstream in(file);
        int control_port = 0;
        if (!(in >> control_port))
            throw std::runtime_error(std::string("no control port in ") + file);
        platform::Ipv4Address address;
        int error = 0;
        if (!platform::resolve_ipv4("127.0.0.1", static_cast<std::uint16_t>(control_port), address, error) ||
            socket_.connect(address, socket_event_, stop_, error) != platform::NetStatus::ok)
            throw std::runtime_error("cannot reach the fake POP3 server's control port");
    }

    void add_user(const std::string& name, const std::string& password) { command("USER " + name + " " + password); }
    void set_apop(bool on) { command(std::string("APOP ") + (on ? "on" : "off")); }
    void add_message(const std::string& text)
    {
        send("MESSAGE " + std::to_string(text.size()) + "\r\n" + text);
        expect_ok(read_line());
    }
    void add_fault(const std::string& spec) { command("FAULT " + spec); }
    // "pipelining" (the default), "plain" (CAPA without PIPELINING) or "off".
    void set_capa(const std::string& mode) { command("CAPA " + mode); }
    // "off" (the default), "on", "refuse", "drop", "inject" or "strip"
    // (tools/fake-pop3/main.cpp says what each does).
    void set_stls(const std::string& mode) { command("STLS " + mode); }
    void set_slow(bool on) { command(std::string("SLOW ") + (on ? "on" : "off")); }
    std::uint16_t start()
    {
        std::string reply = command("START");
        port_ = static_cast<std::uint16_t>(std::stoi(reply.substr(4)));
        return port_;
    }
    std::uint16_t port() const { return port_; }
    std::size_t message_count() { return static_cast<std::size_t>(std::stoul(command("COUNT").substr(4))); }

    // Every command line received so far, "<connect>" marking each connection.
    std::vector<std::string> commands()
    {
        command("COMMANDS");
        std::vector<std::string> lines;
        for (std::string line = read_line(); line != "."; line = read_line())
            lines.push_back(line.rfind("..", 0) == 0 ? line.substr(1) : line);
        return lines;
    }

    // Polls until `line` is among the received commands, at most ~10 s.
    bool wait_for_command(const std::string& line)
    {
        return eventually(
            [&] {
                std::vector<std::string> received = commands();
                return std::find(received.begin(), received.end(), line) != received.end();
            },
            std::chrono::seconds(10));
    }

private:
    std::string command(const std::string& line)
    {
        send(line + "\r\n");
        std::string reply = read_line();
        expect_ok(reply);
        return reply;
    }
    static void expect_ok(const std::string& reply)
    {
        if (reply.rfind("+OK", 0) != 0)
            throw std::runtime_error("fake POP3 control refused: " + reply);
    }
    void send(const std::string& bytes)
    {
        int error = 0;
        if (socket_.send(bytes.data(), bytes.size(), socket_event_, stop_, error) != platform::NetStatus::ok)
            throw std::runtime_error("fake POP3 control connection lost");
    }
    std::string read_line()
    {
        for (;;) {
            std::size_t end = pending_.find("\r\n");
            if (end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 2);
                return line;
            }
            char chunk[4096];
            std::size_t got = 0;
            int error = 0;
            if (socket_.receive(chunk, sizeof chunk, got, socket_event_, stop_, error) != platform::NetStatus::ok)
                throw std::runtime_error("fake POP3 control connection lost");
            pending_.append(chunk, got);
        }
    }

    platform::NetworkStartup startup_;
    platform::Event socket_event_;
    platform::Event stop_;
    platform::TcpSocket socket_;
    std::string pending_;
    std::uint16_t port_ = 0;
};

}  // namespace kivo::test
