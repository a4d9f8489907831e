// A full check (lookup, login, CAPA, LIST, TOP n 99 for every message,
// Message records built, QUIT) against a POP3 server, timed; prints the time
// and messages per second of each round and the best round.
// bench/pop3_check_compare.py starts the servers and runs this next to
// Python's poplib on the same mailbox.
//   pop3_check_bench PORT USER PASSWORD [ROUNDS] [--label TEXT] [--window N [--window-bytes B]]
//                    [--no-pipelining] [--no-quick-ack] [--no-apop]
// --window sets exactly N commands in flight (more only while their answers
// are expected to bring fewer than B bytes); without it the account's own
// window holds. --no-quick-ack leaves the system's delayed ACKs on, as where
// the control is refused (Wine, some Windows versions).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/account.h"
#include "log/log.h"
#include "message/message.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: pop3_check_bench PORT USER PASSWORD [ROUNDS] [--label TEXT] [--window N [--window-bytes B]]\n"
                     "                        [--no-pipelining] [--no-quick-ack] [--no-apop]\n");
        return 2;
    }
    int rounds = 3;
    std::string label = "check";
    std::size_t window = 0, window_bytes = 0;  // 0: the account's own
    bool pipelining = true, quick_ack = true, apop = true;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--label") == 0 && i + 1 < argc)
            label = argv[++i];
        else if (std::strcmp(argv[i], "--window") == 0 && i + 1 < argc)
            window = static_cast<std::size_t>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--window-bytes") == 0 && i + 1 < argc)
            window_bytes = static_cast<std::size_t>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--no-pipelining") == 0)
            pipelining = false;
        else if (std::strcmp(argv[i], "--no-quick-ack") == 0)
            quick_ack = false;
        else if (std::strcmp(argv[i], "--no-apop") == 0)
            apop = false;
        else
            rounds = std::atoi(argv[i]);
    }
    kivo::platform::NetworkStartup network;
    kivo::app_log().set_capacity(1);  // the ring is not what is measured
    double best = 0;
    std::size_t count = 0;
    bool pipelined = false;
    for (int round = 0; round < rounds; ++round) {
        kivo::Account account;
        account.set_name("bench");
        account.set_server(kivo::Url("pop3", argv[2], argv[3], "127.0.0.1", "/"));
        account.set_port(std::atoi(argv[1]));
        account.set_secure_auth(apop);
        account.set_pipelining(pipelining);
        if (window > 0)
            account.set_pipeline_window(window, window_bytes);
        account.set_immediate_acks(quick_ack);
        kivo::MessageList messages;
        using Clock = std::chrono::steady_clock;
        auto since = [](Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); };
        auto start = Clock::now();
        bool ok = account.lookup() && account.connect_to_server();
        double login = since(start);
        auto fetch_start = Clock::now();
        ok = ok && account.check_mail(messages);
        double fetch = since(fetch_start);
        auto quit_start = Clock::now();
        account.disconnect();
        double quit = since(quit_start);
        double seconds = since(start);
        if (!ok) {
            std::fprintf(stderr, "check failed: %s\n", account.last_error().c_str());
            return 1;
        }
        count = messages.size();
        pipelined = account.session_pipelined();
        std::printf("kivo %s round %d: %zu messages in %.3f s = %.0f messages/s (connect and login %.1f ms, "
                    "CAPA LIST TOP %.1f ms, QUIT %.1f ms)\n",
                    label.c_str(), round + 1, count, seconds, static_cast<double>(count) / seconds, login * 1e3,
                    fetch * 1e3, quit * 1e3);
        std::fflush(stdout);
        if (best == 0 || seconds < best)
            best = seconds;
    }
    kivo::PipelineWindow shown = window > 0 ? kivo::PipelineWindow(window, window_bytes) : kivo::PipelineWindow();
    std::printf("kivo %s best: %.3f s for %zu messages (%s, window %zu commands or %zu KB, immediate ACKs %s)\n",
                label.c_str(), best, count, pipelined ? "pipelined" : "one command at a time", shown.commands(),
                shown.bytes() >> 10, quick_ack ? "on" : "off");
    return 0;
}
