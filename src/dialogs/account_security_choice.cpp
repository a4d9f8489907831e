#include "dialogs/account_security_choice.h"

#include "message_ids.h"
#include "platform/message_text.h"
#include "ui/combo_box.h"

namespace kivo::dialogs {
namespace {

constexpr Account::Security kSecurities[] = {Account::Security::none, Account::Security::tls,
                                             Account::Security::stls};
constexpr std::uint32_t kTexts[] = {MSG_SECURITY_NONE, MSG_SECURITY_TLS, MSG_SECURITY_STLS};

}  // namespace

void fill_security_choice(HWND combo, Account::Security selected)
{
    ui::ComboBox box;
    box.attach(combo);
    int index = 0;
    for (int i = 0; i < 3; ++i) {
        box.add(platform::message_text(kTexts[i]));
        if (kSecurities[i] == selected)
            index = i;
    }
    box.select(index);
}

Account::Security chosen_security(HWND combo)
{
    ui::ComboBox box;
    box.attach(combo);
    int selected = box.selection();
    return kSecurities[selected >= 0 && selected < 3 ? selected : 0];
}

}  // namespace kivo::dialogs
