#include "platform/dialup.h"

namespace kivo::platform {
namespace {

class NoDialup : public DialupApi {
public:
    bool usable() const override { return false; }
    bool connected_state(std::uint32_t& flags) override
    {
        flags = kConnectionLan;
        return true;
    }
    bool autodial() override { return false; }
    bool hangup() override { return false; }
};

}  // namespace

std::unique_ptr<DialupApi> make_system_dialup() { return std::make_unique<NoDialup>(); }

}  // namespace kivo::platform
