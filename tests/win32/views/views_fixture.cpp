#include "views_fixture.h"

#include "message_lines.h"
#include "platform/registry.h"

namespace kivo::test {

void delete_test_registry()
{
    platform::RegKey::delete_tree(platform::RegRoot::current_user, "SOFTWARE\\Kivo, Inc.\\KivoViewsTest");
}

void pump_messages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::shared_ptr<Message> make_shared_message(const std::string& from, const std::string& subject, std::int32_t size,
                                             const std::string& extra)
{
    std::string raw = "From:" + from + "\nTo:Reader <reader@example.org>\nSubject:" + subject +
                      "\nDate:Mon, 7 Dec 2026 00:00:00 +0000\n" + extra + "\nfirst line of " + subject +
                      "\nsecond line\n";
    return std::make_shared<Message>(split_lines(raw), size);
}

PanesFixture::PanesFixture(bool clear_registry) : class_(GetModuleHandleA(nullptr))
{
    if (clear_registry)
        delete_test_registry();
    ui::Window::CreateArgs args;
    args.title = "views test";
    args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    args.ex_style = WS_EX_CONTROLPARENT;
    args.x = 10;
    args.y = 10;
    args.width = 760;
    args.height = 560;
    window_.create(class_, args);
    ShowWindow(window_.hwnd(), SW_SHOW);
    recreate();
}

PanesFixture::~PanesFixture()
{
    panes_.reset();
    window_.destroy();
}

void PanesFixture::recreate()
{
    panes_.reset();
    panes_ = std::make_unique<views::Panes>();
    RECT client{};
    GetClientRect(window_.hwnd(), &client);
    panes_->create({GetModuleHandleA(nullptr), window_.hwnd(), 0, 0, client.right, client.bottom, &host, kRoot});
    pump_messages();
}

Account& PanesFixture::add_account(const std::string& name, const std::string& user, const std::string& host_name,
                                   int message_count)
{
    auto account = std::make_unique<Account>();
    account->set_name(name);
    account->set_server(Url("pop3", user, "secret", host_name, ""));
    account->set_state(MSG_STATE_SLEEPING);
    for (int i = 0; i < message_count; ++i)
        account->messages().push_back(make_shared_message("Sender " + std::to_string(i) + " <s" +
                                                              std::to_string(i) + "@example.org>",
                                                          name + " m" + std::to_string(i), 1000 + i));
    account->set_total_messages(message_count);
    account->set_new_messages(message_count);
    Account& out = *account;
    accounts().add(std::move(account));
    return out;
}

}  // namespace kivo::test
