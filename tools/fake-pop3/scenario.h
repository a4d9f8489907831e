#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// What one fake POP3 server serves: users, greeting style, mailbox, fault
// scripts, and the record of every command received.
namespace fake_pop3 {

// "COMMAND[ ARG]:ACTION[+ACTION...]", for instance "TOP 2:err",
// "LIST:split", "GREETING:delay=300", "TOP:huge+split", "RETR 1:close-mid",
// "TOP 3:silence", "TOP 4:drop". COMMAND "GREETING" stands for the greeting.
struct Fault {
    std::string command;
    std::string argument;  // empty: any
    std::vector<std::string> actions;
};
bool parse_fault(const std::string& spec, Fault& fault);

struct StoredMessage {
    std::uint64_t id = 0;
    std::string text;  // CRLF line ends
};

class Scenario {
public:
    void add_user(const std::string& name, const std::string& password);
    bool password_of(const std::string& name, std::string& password) const;
    void add_message(const std::string& raw);
    // Every file of a folder, in name order.
    bool load_folder(const std::string& folder);
    void add_fault(const Fault& fault);
    const Fault* find_fault(const std::string& command, const std::string& argument) const;

    std::vector<StoredMessage> snapshot() const;
    void remove_messages(const std::vector<std::uint64_t>& ids);
    std::size_t message_count() const;

    void record(const std::string& line);
    std::vector<std::string> commands() const;
    void set_record_file(const std::string& path) { record_file_ = path; }

    std::atomic<bool> apop{true};
    // The CAPA answer: with PIPELINING, without it, or refused (a server
    // older than RFC 2449).
    enum class Capa { pipelining, plain, refused };
    std::atomic<Capa> capa{Capa::pipelining};
    // STLS (RFC 2595): not offered (as before); offered and answered "+OK",
    // after which the connection ends, as this server speaks no TLS;
    // offered and refused; offered and the connection dropped at the
    // command; offered and "+OK" followed by a reply in clear (what an
    // attacker injects); or accepted but left out of CAPA, as by a man in
    // the middle who strips it.
    enum class Stls { off, on, refuse, drop, inject, strip };
    std::atomic<Stls> stls{Stls::off};
    // Imitates servers that write the status line and the rest of a reply as
    // separate small segments with Nagle's algorithm on.
    std::atomic<bool> slow{false};
    std::atomic<bool> closed{false};

private:
    mutable std::mutex lock_;
    std::map<std::string, std::string> users_;
    std::vector<StoredMessage> messages_;
    std::uint64_t next_id_ = 1;
    std::vector<Fault> faults_;
    std::vector<std::string> record_;
    std::string record_file_;
};

// Serves one POP3 connection until QUIT, a close, or the scenario's end.
void serve_session(int fd, Scenario& scenario);

}  // namespace fake_pop3
