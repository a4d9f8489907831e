#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/account.h"
#include "message/message.h"
#include "ui/window.h"
#include "ui/window_class.h"
#include "views/panes.h"

namespace kivo::test {

// What the panes asked of the main window.
class RecordingHost : public views::PanesHost {
public:
    void pane_command(int id) override { commands.push_back(id); }
    void panes_selection_changed() override { ++selection_changes; }
    void account_marks_changed(Account& account) override { marks_changed.push_back(&account); }
    void reply_to(Account&, const Message& message) override { replies.push_back(message.key()); }
    void add_to_filter(int command, const Message& message) override
    {
        filter_adds.push_back({command, message.key()});
    }

    std::vector<int> commands;
    int selection_changes = 0;
    std::vector<Account*> marks_changed;
    std::vector<std::uint32_t> replies;
    std::vector<std::pair<int, std::uint32_t>> filter_adds;
};

// A top-level window holding the panes, with a registry key of its own that
// starts empty.
class PanesFixture {
public:
    static constexpr const char* kRoot = "SOFTWARE\\Kivo, Inc.\\KivoViewsTest\\CustomizeControls";

    explicit PanesFixture(bool clear_registry = true);
    ~PanesFixture();

    HWND window() const { return window_.hwnd(); }
    views::Panes& panes() { return *panes_; }
    views::AccountsListView& accounts() { return panes_->accounts(); }
    views::MessagesListView& messages() { return panes_->messages(); }
    RecordingHost host;

    // An account with messages "m0".."m<count-1>" (unseen), owned by the list.
    Account& add_account(const std::string& name, const std::string& user, const std::string& host_name,
                         int message_count);
    // Drops the panes and makes them again from the stored settings.
    void recreate();

private:
    class HostWindow : public ui::Window {};
    ui::WindowClass class_;
    HostWindow window_;
    std::unique_ptr<views::Panes> panes_;
};

std::shared_ptr<Message> make_shared_message(const std::string& from, const std::string& subject,
                                             std::int32_t size = 1000, const std::string& extra = "");
void pump_messages();
void delete_test_registry();

}  // namespace kivo::test
