#pragma once
#include <functional>

#include "engine/account_hooks.h"

namespace kivo {

class EngineHost;

// What a check does with each message besides fetching it: deleting the
// ones the previous check marked (in the account's deletion mode), handing
// new ones to the filters, and carrying the seen and deletion marks over
// from the previous list by identity key.
class CheckingCycle : public CheckCycle {
public:
    using Classifier = std::function<void(Account&, Message&)>;

    CheckingCycle(EngineHost* host, Classifier classifier);

    bool should_delete_marked(Account& account) override;
    bool must_delete(Account& account, int number, Message& message) override;
    void classify(Account& account, Message& message) override;
    void carry_flags_over(Account& account, MessageList& fresh) override;

private:
    EngineHost* host_;
    Classifier classifier_;
};

}  // namespace kivo
