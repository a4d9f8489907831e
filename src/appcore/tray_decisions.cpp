#include "appcore/tray_decisions.h"

#include "message_ids.h"
#include "platform/message_text.h"
#include "platform/text.h"

namespace kivo::tray {

Facts Facts::of(const std::vector<AccountView>& accounts)
{
    Facts facts;
    for (const AccountView& account : accounts) {
        facts.checking |= account.state == MSG_STATE_CHECKING || account.state == MSG_STATE_CONNECTING;
        facts.failed |= account.state == MSG_STATE_FAILED;
        facts.unseen += account.unseen;
        facts.total += account.total;
    }
    return facts;
}

Slot state_icon(const Facts& facts, bool show_checking, bool error_icon)
{
    if (facts.checking && facts.failed) {
        if (error_icon && show_checking)
            return Slot::check_error;
        if (error_icon)
            return Slot::error;
        if (show_checking)
            return Slot::check;
    }
    if (facts.failed && !facts.checking && error_icon)
        return Slot::error;
    if (facts.checking && !facts.failed && show_checking)
        return Slot::check;
    return Slot::normal;
}

Colour badge_colour(const Facts& facts)
{
    const std::uint8_t on = 140;
    bool green = facts.checking == facts.failed;  // neither, or both
    return Colour{facts.failed ? on : std::uint8_t{0}, green ? on : std::uint8_t{0},
                  facts.checking && !facts.failed ? on : std::uint8_t{0}};
}

std::optional<std::int64_t> badge_number(const Facts& facts, bool count_all, bool show_checking)
{
    std::int64_t n = count_all ? facts.total : facts.unseen;
    if (n == 0 && show_checking)
        return std::nullopt;
    return n;
}

std::string tooltip(const std::vector<AccountView>& accounts)
{
    std::int64_t unseen = Facts::of(accounts).unseen;
    std::string text = platform::message_text(MSG_TRAY_NEW_MESSAGES, {std::to_string(unseen)});
    for (const AccountView& account : accounts)
        if (account.unseen != 0)
            text += "\n" + account.name + ": " + std::to_string(account.unseen);
    return platform::cut_text(text, kTooltipLimit);
}

Frame tick_frame(bool flash_phase_on, bool flash_setting, bool notification_off, bool stopped,
                 std::int64_t unseen_total)
{
    if (flash_setting && !notification_off && !stopped && unseen_total != 0 && !flash_phase_on)
        return Frame::flash;
    return Frame::composed;
}

}  // namespace kivo::tray
