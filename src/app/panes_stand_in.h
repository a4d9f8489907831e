#pragma once
// A stand-in for the accounts and messages panes until the list views are
// merged: the same calls, drawn as two plain list boxes.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/account.h"

namespace kivo::app::stand_in {

class PanesHost {
public:
    virtual ~PanesHost() = default;
    virtual void pane_command(int id) = 0;
    virtual void panes_selection_changed() = 0;
};

class AccountsListView {
public:
    HWND hwnd() const { return hwnd_; }
    void attach(HWND hwnd) { hwnd_ = hwnd; }
    void add(std::unique_ptr<Account> account, std::optional<std::size_t> index = {});
    void redraw(const Account& account);
    void redraw_all();
    std::unique_ptr<Account> remove(const Account& account);
    bool move_selected(int delta);
    Account* selected() const;
    Account* at(std::size_t index) const { return index < accounts_.size() ? accounts_[index].get() : nullptr; }
    std::size_t count() const { return accounts_.size(); }
    Account* find(std::uint64_t serial) const;
    std::vector<Account*> accounts() const;
    std::vector<TimedAccount*> snapshot();
    void select(std::size_t index);
    int selected_index() const;
    bool customize_columns(HWND) { return false; }

private:
    std::string row_text(const Account& account) const;
    HWND hwnd_ = nullptr;
    mutable std::mutex mutex_;  // the connection manager's thread reads the list
    std::vector<std::unique_ptr<Account>> accounts_;
};

class MessagesListView {
public:
    HWND hwnd() const { return hwnd_; }
    void attach(HWND hwnd) { hwnd_ = hwnd; }
    void show(Account* account);
    Account* shown() const { return shown_; }
    void command(int id);
    bool has_selection() const;
    int row_count() const;
    void forget(const Account& account);
    bool customize_columns(HWND) { return false; }

private:
    HWND hwnd_ = nullptr;
    Account* shown_ = nullptr;
};

class Panes {
public:
    struct Args {
        HINSTANCE module;
        HWND parent;
        int x, y, width, height;
        PanesHost* host;
    };
    void create(const Args& args);
    HWND hwnd() const { return accounts_.hwnd(); }
    void move(int x, int y, int width, int height);
    AccountsListView& accounts() { return accounts_; }
    MessagesListView& messages() { return messages_; }
    void remember_heights() {}
    void save() {}
    void set_font(HFONT font);

    static constexpr int kAccountsId = 5001;
    static constexpr int kMessagesId = 5002;

private:
    AccountsListView accounts_;
    MessagesListView messages_;
};

}  // namespace kivo::app::stand_in
