// One POP3 connection of the fake server (RFC 1939 subset: USER, PASS,
// APOP, STAT, LIST, UIDL, TOP, RETR, DELE, NOOP, RSET, QUIT, CAPA of
// RFC 2449, and STLS faults) with the scenario's faults applied to its replies. Commands
// that arrive together are answered one after the other, as PIPELINING
// allows.
#include <algorithm>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/md5.h"
#include "scenario.h"
#include "socket_io.h"

namespace fake_pop3 {
namespace {

enum class Outcome { go_on, silent, end };

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> words_of(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        std::size_t end = line.find(' ', pos);
        if (end == std::string::npos)
            end = line.size();
        if (end > pos)
            words.push_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
    return words;
}

bool to_number(const std::string& text, long& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

// Lines of a CRLF text, each with a leading "." doubled.
std::string stuffed(const std::string& text, long body_lines)
{
    std::string out;
    std::size_t pos = 0;
    bool in_body = false;
    long body = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (in_body && body_lines >= 0 && body++ >= body_lines)
            break;
        if (!in_body && line.empty())
            in_body = true;
        if (!line.empty() && line[0] == '.')
            out += '.';
        out += line;
        out += "\r\n";
        pos = end + 2;
    }
    return out;
}

// A reply of more than 1 MB: filler lines before a multi-line reply's
// terminator, or padding in a single-line reply.
std::string enlarge(const std::string& reply)
{
    const std::string line(78, 'x');
    std::string filler;
    while (filler.size() < (1u << 20) + 4096)
        filler += line + "\r\n";
    if (reply.size() >= 5 && reply.compare(reply.size() - 5, 5, "\r\n.\r\n") == 0)
        return reply.substr(0, reply.size() - 3) + filler + ".\r\n";
    return reply.substr(0, reply.size() - 2) + " " + std::string(filler.size(), 'y') + "\r\n";
}

class Session {
public:
    Session(int fd, Scenario& scenario) : fd_(fd), scenario_(scenario) {}

    void run()
    {
        static std::atomic<unsigned> counter{0};
        std::string greeting = "+OK fake-pop3 ready";
        if (scenario_.apop) {
            // Built by appending: GCC 12 at -O3 warns falsely on chains of operator+.
            timestamp_.append("<").append(std::to_string(::getpid())).append(".");
            timestamp_.append(std::to_string(++counter)).append("@fake-pop3>");
            greeting.append(" ").append(timestamp_);
        }
        greeting.append("\r\n");
        Outcome outcome = reply("GREETING", "", greeting);
        std::string pending;
        std::string line;
        while (outcome == Outcome::go_on && !scenario_.closed && read_line(fd_, pending, line)) {
            scenario_.record(line);
            outcome = handle(line);
        }
        if (outcome == Outcome::silent) {
            // Say nothing more; wait until the client gives up.
            while (!scenario_.closed && read_line(fd_, pending, line))
                scenario_.record(line);
        }
    }

private:
    Outcome reply(const std::string& command, const std::string& argument, std::string text)
    {
        const Fault* fault = scenario_.find_fault(command, argument);
        if (!fault)
            return write_reply(text);
        bool split = false;
        for (const std::string& action : fault->actions) {
            if (action == "err") {
                text = "-ERR fault injected for " + command + "\r\n";
            } else if (action == "huge") {
                text = enlarge(text);
            } else if (action.rfind("delay=", 0) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(action.c_str() + 6)));
            } else if (action == "silence") {
                return Outcome::silent;
            } else if (action == "drop") {
                return Outcome::end;
            } else if (action == "close-mid") {
                write_all(fd_, text.substr(0, text.size() / 2));
                return Outcome::end;
            } else if (action == "split") {
                split = true;
            }
        }
        if (!split)
            return write_reply(text);
        int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        for (char c : text) {
            if (!write_all(fd_, std::string(1, c)))
                return Outcome::end;
            // A short pause so each byte travels as a piece of its own.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        return Outcome::go_on;
    }

    Outcome write_reply(const std::string& text)
    {
        std::size_t status_end = text.find("\r\n");
        if (!scenario_.slow || status_end == std::string::npos || status_end + 2 == text.size())
            return write_all(fd_, text) ? Outcome::go_on : Outcome::end;
        // Two writes, so with Nagle on the second waits for the ACK of the first.
        bool ok = write_all(fd_, text.substr(0, status_end + 2)) && write_all(fd_, text.substr(status_end + 2));
        return ok ? Outcome::go_on : Outcome::end;
    }

    const StoredMessage* message(const std::string& text, std::string& error)
    {
        long number = 0;
        if (!to_number(text, number) || number < 1 || static_cast<std::size_t>(number) > box_.size()) {
            error = "-ERR no such message\r\n";
            return nullptr;
        }
        if (deleted_[static_cast<std::size_t>(number - 1)]) {
            error = "-ERR message " + text + " already deleted\r\n";
            return nullptr;
        }
        return &box_[static_cast<std::size_t>(number - 1)];
    }

    Outcome handle(const std::string& line)
    {
        std::vector<std::string> words = words_of(line);
        std::string command = words.empty() ? "" : upper(words[0]);
        std::string arg1 = words.size() > 1 ? words[1] : "";
        auto answer = [&](const std::string& text) { return reply(command, arg1, text); };

        if (command == "QUIT") {
            if (logged_in_) {
                std::vector<std::uint64_t> gone;
                for (std::size_t i = 0; i < box_.size(); ++i)
                    if (deleted_[i])
                        gone.push_back(box_[i].id);
                scenario_.remove_messages(gone);
            }
            answer("+OK bye\r\n");
            return Outcome::end;
        }
        if (command == "CAPA") {
            Scenario::Capa capa = scenario_.capa;
            if (capa == Scenario::Capa::refused)
                return answer("-ERR unknown command\r\n");
            Scenario::Stls stls = scenario_.stls;
            bool listed = stls != Scenario::Stls::off && stls != Scenario::Stls::strip;
            return answer(std::string("+OK Capability list follows\r\nTOP\r\nUSER\r\n") +
                          (capa == Scenario::Capa::pipelining ? "PIPELINING\r\n" : "") +
                          (listed ? "STLS\r\n" : "") + "UIDL\r\n.\r\n");
        }
        if (command == "STLS" && !logged_in_ && scenario_.stls != Scenario::Stls::off)
            return start_tls(answer);
        if (!logged_in_) {
            if (command == "USER" && words.size() == 2) {
                user_ = arg1;
                return answer("+OK send PASS\r\n");
            }
            if (command == "PASS" && !user_.empty()) {
                std::string password;
                std::string given = line.size() > 5 ? line.substr(5) : "";
                if (scenario_.password_of(user_, password) && password == given)
                    return login(command);
                return answer("-ERR [AUTH] Authentication failed.\r\n");
            }
            if (command == "APOP" && words.size() == 3) {
                std::string password;
                if (timestamp_.empty())
                    return answer("-ERR APOP not available\r\n");
                if (scenario_.password_of(arg1, password) && kivo::md5_hex(timestamp_ + password) == words[2])
                    return login(command);
                return answer("-ERR [AUTH] Authentication failed.\r\n");
            }
            return answer("-ERR not logged in\r\n");
        }

        std::string error;
        if (command == "STAT" || (command == "LIST" && words.size() == 1)) {
            std::size_t count = 0, octets = 0;
            std::string lines;
            for (std::size_t i = 0; i < box_.size(); ++i) {
                if (deleted_[i])
                    continue;
                ++count;
                octets += box_[i].text.size();
                lines += std::to_string(i + 1) + " " + std::to_string(box_[i].text.size()) + "\r\n";
            }
            std::string status = "+OK " + std::to_string(count) + " " + std::to_string(octets);
            if (command == "STAT")
                return answer(status + "\r\n");
            return answer(status + " messages\r\n" + lines + ".\r\n");
        }
        if (command == "LIST" || command == "UIDL") {
            if (command == "UIDL" && words.size() == 1) {
                std::string lines;
                for (std::size_t i = 0; i < box_.size(); ++i)
                    if (!deleted_[i])
                        lines += std::to_string(i + 1) + " uid" + std::to_string(box_[i].id) + "\r\n";
                return answer("+OK\r\n" + lines + ".\r\n");
            }
            const StoredMessage* m = message(arg1, error);
            if (!m)
                return answer(error);
            return answer("+OK " + arg1 + " " +
                          (command == "LIST" ? std::to_string(m->text.size()) : "uid" + std::to_string(m->id)) +
                          "\r\n");
        }
        if (command == "TOP" || command == "RETR") {
            long lines = -1;
            if (command == "TOP" && (words.size() != 3 || !to_number(words[2], lines)))
                return answer("-ERR usage: TOP msg lines\r\n");
            const StoredMessage* m = message(arg1, error);
            if (!m)
                return answer(error);
            return answer("+OK\r\n" + stuffed(m->text, lines) + ".\r\n");
        }
        if (command == "DELE") {
            const StoredMessage* m = message(arg1, error);
            if (!m)
                return answer(error);
            // A DELE refused by a fault script leaves the message in the box.
            const Fault* fault = scenario_.find_fault(command, arg1);
            bool refused = fault && std::find(fault->actions.begin(), fault->actions.end(), "err") != fault->actions.end();
            if (!refused)
                deleted_[static_cast<std::size_t>(m - box_.data())] = true;
            return answer("+OK deleted\r\n");
        }
        if (command == "RSET") {
            deleted_.assign(box_.size(), false);
            return answer("+OK\r\n");
        }
        if (command == "NOOP")
            return answer("+OK\r\n");
        return answer("-ERR unknown command\r\n");
    }

    template <class Answer>
    Outcome start_tls(const Answer& answer)
    {
        switch (scenario_.stls.load()) {
        case Scenario::Stls::refuse:
            return answer("-ERR STLS not available now\r\n");
        case Scenario::Stls::drop:
            return Outcome::end;
        case Scenario::Stls::inject:
            answer("+OK Begin TLS negotiation\r\n+OK logged in\r\n");
            return Outcome::end;
        default:
            answer("+OK Begin TLS negotiation\r\n");
            return Outcome::end;  // no TLS here: the handshake meets a closed connection
        }
    }

    Outcome login(const std::string& command)
    {
        logged_in_ = true;
        box_ = scenario_.snapshot();
        deleted_.assign(box_.size(), false);
        return reply(command, "", "+OK logged in\r\n");
    }

    int fd_;
    Scenario& scenario_;
    std::string timestamp_;
    std::string user_;
    bool logged_in_ = false;
    std::vector<StoredMessage> box_;
    std::vector<bool> deleted_;
};

}  // namespace

void serve_session(int fd, Scenario& scenario) { Session(fd, scenario).run(); }

}  // namespace fake_pop3
