#pragma once
#include <memory>
#include <vector>

namespace kivo {

class Account;
class Message;

// The messages of one check, in LIST order. Shared, so a list view may keep
// showing a record after the account has replaced its list.
using MessageList = std::vector<std::shared_ptr<Message>>;

// What a session needs from whoever runs it: every network step re-arms the
// account's time-out (the connection manager signals the stop event when it
// passes).
class AccountOwner {
public:
    virtual ~AccountOwner() = default;
    virtual void schedule_timeout(Account& account) = 0;
    // Around one check: the connection (dialled if need be) and the deadline.
    virtual bool begin_check(Account&) { return true; }
    virtual void end_check(Account&) {}
};

// The checking cycle and the filters, as check_mail consults them.
class CheckCycle {
public:
    virtual ~CheckCycle() = default;
    // Asked once per check, before LIST: are marked messages deleted in it?
    virtual bool should_delete_marked(Account& account) = 0;
    // Gives a new message the deletion mark of its match in the previous
    // list; true when its DELE (LIST number `number`) is to be sent. The
    // session sends it, and leaves the message out of the list exactly when
    // the server takes it.
    virtual bool must_delete(Account& account, int number, Message& message) = 0;
    // Classifies a new message; the filters set its marks.
    virtual void classify(Account& account, Message& message) = 0;
    // Carries the seen and deletion marks of the previous list over.
    virtual void carry_flags_over(Account& account, MessageList& fresh) = 0;
};

}  // namespace kivo
