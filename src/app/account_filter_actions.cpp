#include "app/account_filter_actions.h"

#include "notify/system_filter_actions.h"

namespace kivo::app {
namespace {
thread_local Account* classifying = nullptr;
}

AccountFilterActions::Classifying::Classifying(Account& account) { classifying = &account; }
AccountFilterActions::Classifying::~Classifying() { classifying = nullptr; }

// An action outside a classification (none is fired that way) has no
// account to act for and is dropped.
void AccountFilterActions::RunMailer()
{
    if (classifying)
        notify::SystemFilterActions(bridge_, *classifying).RunMailer();
}

void AccountFilterActions::LaunchProgram(const std::string& path)
{
    if (classifying)
        notify::SystemFilterActions(bridge_, *classifying).LaunchProgram(path);
}

void AccountFilterActions::PlaySoundFile(const std::string& file)
{
    if (classifying)
        notify::SystemFilterActions(bridge_, *classifying).PlaySoundFile(file);
}

void AccountFilterActions::SendToUrl(const std::string& url)
{
    if (classifying)
        notify::SystemFilterActions(bridge_, *classifying).SendToUrl(url);
}

}  // namespace kivo::app
