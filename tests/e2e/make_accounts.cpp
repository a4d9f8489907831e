// Writes kivo.dat for the end-to-end test into a folder:
//   make_accounts.exe FOLDER PORT
// Two accounts on the fake server at 127.0.0.1:PORT: "alice" with the right
// password and "bob" with a wrong one.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/account.h"
#include "engine/account_file.h"
#include "message/url.h"
#include "platform/program_folder.h"

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    kivo::platform::set_program_folder_for_tests(folder);
    int port = std::atoi(argv[2]);
    std::vector<std::unique_ptr<kivo::Account>> accounts;
    for (auto [user, password] : {std::pair{"alice", "secret"}, std::pair{"bob", "wrong"}}) {
        auto account = std::make_unique<kivo::Account>();
        account->set_name(user);
        account->set_server(kivo::Url("pop3", user, password, "127.0.0.1", "/"));
        account->set_port(port);
        account->set_timeout(10);
        account->set_deletion_mode(kivo::MSG_DELETION_NEVER);
        accounts.push_back(std::move(account));
    }
    std::vector<const kivo::Account*> out;
    for (const auto& account : accounts)
        out.push_back(account.get());
    std::string error;
    return kivo::save_accounts(out, error) ? 0 : 1;
}
