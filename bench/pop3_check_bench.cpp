// A full check (lookup, APOP login, LIST, TOP n 99 for every message,
// Message records built, QUIT) against a POP3 server, timed; prints
// messages per second. bench/pop3_check_compare.py starts the fake server
// with a 2000-message mailbox and runs this and Python's poplib on it.
//   pop3_check_bench PORT USER PASSWORD [ROUNDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/account.h"
#include "message/message.h"

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: pop3_check_bench PORT USER PASSWORD [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    kivo::platform::NetworkStartup network;
    double best = 0;
    std::size_t count = 0;
    for (int round = 0; round < rounds; ++round) {
        kivo::Account account;
        account.set_name("bench");
        account.set_server(kivo::Url("pop3", argv[2], argv[3], "127.0.0.1", "/"));
        account.set_port(std::atoi(argv[1]));
        kivo::MessageList messages;
        auto start = std::chrono::steady_clock::now();
        bool ok = account.lookup() && account.connect_to_server() && account.check_mail(messages);
        account.disconnect();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok) {
            std::fprintf(stderr, "check failed: %s\n", account.last_error().c_str());
            return 1;
        }
        count = messages.size();
        double rate = static_cast<double>(count) / seconds;
        std::printf("kivo round %d: %zu messages in %.3f s = %.0f messages/s\n", round + 1, count, seconds, rate);
        if (rate > best)
            best = rate;
    }
    std::printf("kivo best: %.0f messages/s (%zu messages)\n", best, count);
    return 0;
}
