// fake-pop3: a scriptable POP3 server for tests, benchmarks and the demo.
//
//   fake-pop3 serve [--port N] [--port-file F] [--maildir DIR] [--user NAME:PASS]...
//                   [--no-apop] [--capa pipelining|plain|off] [--slow] [--record FILE]
//                   [--stls off|on|refuse|drop|inject|strip] [--fault SPEC]...
//       serves one mailbox until killed.
//   fake-pop3 control --port-file F [--idle-exit SECONDS]
//       a control port; each control connection sets up a server of its own
//       and ends it when it closes. Control lines (each answered "+OK ..."):
//         USER name password | APOP on|off | MESSAGE nbytes (then the bytes)
//         CAPA pipelining|plain|off | SLOW on|off
//         STLS off|on|refuse|drop|inject|strip
//         FAULT spec | START (answers "+OK port") | COMMANDS (a dot-ended list)
//         COUNT (messages left) | QUIT
//
// A fault spec is "COMMAND[ ARG]:ACTION[+ACTION]" with the actions err,
// split (1-byte pieces), delay=MS, silence, drop (close without a word),
// close-mid and huge (> 1 MB). --slow (SLOW on) writes the status line and
// the rest of every reply separately with Nagle on, as some servers do.
// --stls (STLS) scripts the upgrade: not offered (the default), offered and
// "+OK" then the end (no TLS here), refused, dropped, "+OK" with an injected
// reply in clear, or accepted but missing from CAPA.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "scenario.h"
#include "socket_io.h"

using namespace fake_pop3;

namespace {

// A running server of one scenario: its listener and its connections.
class Server {
public:
    explicit Server(std::shared_ptr<Scenario> scenario) : scenario_(std::move(scenario)) {}

    bool start(std::uint16_t port)
    {
        listener_ = listen_loopback(port);
        if (listener_ < 0)
            return false;
        port_ = local_port(listener_);
        return true;
    }
    std::uint16_t port() const { return port_; }

    void accept_loop()
    {
        for (;;) {
            int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR || errno == ECONNABORTED)
                    continue;
                return;  // the listener was shut down
            }
            {
                std::lock_guard<std::mutex> guard(lock_);
                if (scenario_->closed) {
                    ::close(fd);
                    return;
                }
                sessions_.push_back(fd);
            }
            scenario_->record("<connect>");
            std::shared_ptr<Scenario> scenario = scenario_;
            ++running_;
            std::thread([this, fd, scenario] {
                serve_session(fd, *scenario);
                ::shutdown(fd, SHUT_RDWR);
                std::lock_guard<std::mutex> guard(lock_);
                for (int& s : sessions_)
                    if (s == fd)
                        s = -1;
                ::close(fd);
                --running_;
            }).detach();
        }
    }

    // Ends the listener and every connection, and waits for their threads.
    void stop()
    {
        scenario_->closed = true;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (listener_ >= 0)
                ::shutdown(listener_, SHUT_RDWR);
            for (int fd : sessions_)
                if (fd >= 0)
                    ::shutdown(fd, SHUT_RDWR);
        }
        while (running_ > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
    }

private:
    std::shared_ptr<Scenario> scenario_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::mutex lock_;
    std::vector<int> sessions_;
    std::atomic<int> running_{0};
};

bool parse_capa(const std::string& text, Scenario::Capa& capa)
{
    if (text == "pipelining")
        capa = Scenario::Capa::pipelining;
    else if (text == "plain")
        capa = Scenario::Capa::plain;
    else if (text == "off")
        capa = Scenario::Capa::refused;
    else
        return false;
    return true;
}

bool parse_stls(const std::string& text, Scenario::Stls& stls)
{
    static const std::pair<const char*, Scenario::Stls> names[] = {
        {"off", Scenario::Stls::off},       {"on", Scenario::Stls::on},         {"refuse", Scenario::Stls::refuse},
        {"drop", Scenario::Stls::drop},     {"inject", Scenario::Stls::inject}, {"strip", Scenario::Stls::strip}};
    for (const auto& [name, value] : names)
        if (text == name) {
            stls = value;
            return true;
        }
    return false;
}

void control_connection(int fd)
{
    auto scenario = std::make_shared<Scenario>();
    std::unique_ptr<Server> server;
    std::thread acceptor;
    std::string pending;
    std::string line;
    while (read_line(fd, pending, line)) {
        std::string word = line.substr(0, line.find(' '));
        std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
        std::string answer = "+OK\r\n";
        if (word == "USER") {
            std::size_t blank = rest.find(' ');
            scenario->add_user(rest.substr(0, blank), blank == std::string::npos ? "" : rest.substr(blank + 1));
        } else if (word == "APOP") {
            scenario->apop = rest == "on";
        } else if (word == "CAPA") {
            Scenario::Capa capa;
            if (parse_capa(rest, capa))
                scenario->capa = capa;
            else
                answer = "-ERR CAPA pipelining|plain|off\r\n";
        } else if (word == "STLS") {
            Scenario::Stls stls;
            if (parse_stls(rest, stls))
                scenario->stls = stls;
            else
                answer = "-ERR STLS off|on|refuse|drop|inject|strip\r\n";
        } else if (word == "SLOW") {
            scenario->slow = rest == "on";
        } else if (word == "MESSAGE") {
            std::string bytes;
            if (!read_exact(fd, pending, std::strtoul(rest.c_str(), nullptr, 10), bytes))
                break;
            scenario->add_message(bytes);
        } else if (word == "FAULT") {
            Fault fault;
            if (parse_fault(rest, fault))
                scenario->add_fault(fault);
            else
                answer = "-ERR bad fault\r\n";
        } else if (word == "START" && !server) {
            server = std::make_unique<Server>(scenario);
            if (server->start(0)) {
                acceptor = std::thread([&server] { server->accept_loop(); });
                answer = "+OK " + std::to_string(server->port()) + "\r\n";
            } else {
                server.reset();
                answer = "-ERR cannot listen\r\n";
            }
        } else if (word == "COMMANDS") {
            answer = "+OK\r\n";
            for (const std::string& command : scenario->commands())
                answer += (command.empty() || command[0] != '.' ? "" : ".") + command + "\r\n";
            answer += ".\r\n";
        } else if (word == "COUNT") {
            answer = "+OK " + std::to_string(scenario->message_count()) + "\r\n";
        } else if (word == "QUIT") {
            write_all(fd, answer);
            break;
        } else {
            answer = "-ERR unknown control command\r\n";
        }
        if (!write_all(fd, answer))
            break;
    }
    if (server) {
        server->stop();
        acceptor.join();
    }
    ::close(fd);
}

int run_control(const std::string& port_file, int idle_exit)
{
    int listener = listen_loopback(0);
    if (listener < 0 || !write_file_atomically(port_file, std::to_string(local_port(listener)) + "\n")) {
        std::fprintf(stderr, "fake-pop3: cannot listen or write %s\n", port_file.c_str());
        return 1;
    }
    std::atomic<int> active{0};
    auto now = [] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    std::atomic<long long> last{now()};
    for (;;) {
        pollfd p{listener, POLLIN, 0};
        int n = ::poll(&p, 1, 1000);
        if (n == 0) {
            // Orphaned (no cleanup ran): go away on our own after a while.
            if (active == 0 && idle_exit > 0 && now() - last > idle_exit)
                return 0;
            continue;
        }
        int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        last = now();
        ++active;
        std::thread([fd, &active, &last, now] {
            control_connection(fd);
            last = now();
            --active;
        }).detach();
    }
}

int run_serve(int argc, char** argv)
{
    auto scenario = std::make_shared<Scenario>();
    std::uint16_t port = 0;
    std::string port_file;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--no-apop") {
            scenario->apop = false;
            continue;
        }
        if (arg == "--slow") {
            scenario->slow = true;
            continue;
        }
        ++i;
        if (arg == "--port") {
            port = static_cast<std::uint16_t>(std::atoi(value.c_str()));
        } else if (arg == "--port-file") {
            port_file = value;
        } else if (arg == "--maildir") {
            if (!scenario->load_folder(value)) {
                std::fprintf(stderr, "fake-pop3: cannot read %s\n", value.c_str());
                return 2;
            }
        } else if (arg == "--user") {
            std::size_t colon = value.find(':');
            scenario->add_user(value.substr(0, colon), colon == std::string::npos ? "" : value.substr(colon + 1));
        } else if (arg == "--capa") {
            Scenario::Capa capa;
            if (!parse_capa(value, capa)) {
                std::fprintf(stderr, "fake-pop3: --capa pipelining|plain|off\n");
                return 2;
            }
            scenario->capa = capa;
        } else if (arg == "--stls") {
            Scenario::Stls stls;
            if (!parse_stls(value, stls)) {
                std::fprintf(stderr, "fake-pop3: --stls off|on|refuse|drop|inject|strip\n");
                return 2;
            }
            scenario->stls = stls;
        } else if (arg == "--record") {
            scenario->set_record_file(value);
        } else if (arg == "--fault") {
            Fault fault;
            if (!parse_fault(value, fault)) {
                std::fprintf(stderr, "fake-pop3: bad fault %s\n", value.c_str());
                return 2;
            }
            scenario->add_fault(fault);
        } else {
            std::fprintf(stderr, "fake-pop3: unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    Server server(scenario);
    if (!server.start(port)) {
        std::fprintf(stderr, "fake-pop3: cannot listen on port %u\n", port);
        return 1;
    }
    if (!port_file.empty())
        write_file_atomically(port_file, std::to_string(server.port()) + "\n");
    std::printf("fake-pop3: %zu messages on 127.0.0.1:%u\n", scenario->message_count(), server.port());
    std::fflush(stdout);
    server.accept_loop();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "serve")
        return run_serve(argc, argv);
    if (mode == "control") {
        std::string port_file;
        int idle_exit = 0;
        for (int i = 2; i + 1 < argc; i += 2) {
            if (std::strcmp(argv[i], "--port-file") == 0)
                port_file = argv[i + 1];
            else if (std::strcmp(argv[i], "--idle-exit") == 0)
                idle_exit = std::atoi(argv[i + 1]);
        }
        if (!port_file.empty())
            return run_control(port_file, idle_exit);
    }
    std::fprintf(stderr,
                 "usage: fake-pop3 serve [--port N] [--port-file F] [--maildir DIR] [--user NAME:PASS]...\n"
                 "                       [--no-apop] [--capa pipelining|plain|off] [--slow] [--record FILE]\n"
                 "                       [--stls off|on|refuse|drop|inject|strip] [--fault SPEC]...\n"
                 "       fake-pop3 control --port-file F [--idle-exit SECONDS]\n");
    return 2;
}
