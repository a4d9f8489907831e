// The window thread's edits of the filter set: page apply and Add to.
#include "filter/email_filter.h"
#include "filter/list_file.h"
#include "filter/power_file.h"
#include "filter/text_match.h"
#include "message/message.h"

namespace kivo::filter {

bool EmailFilter::ApplyWordPage(std::vector<WordFilter>& list, std::vector<WordFilter> entries, const char* file)
{
    WriterSection section(lock_);
    if (!section.held())
        return false;
    list = std::move(entries);
    return save_list_file(file_path(file), list, reporter_);
}

bool EmailFilter::ApplyFromPage(std::vector<WordFilter> entries)
{
    return ApplyWordPage(fromList_, std::move(entries), kFromFileName);
}

bool EmailFilter::ApplySubjectPage(std::vector<WordFilter> entries)
{
    return ApplyWordPage(subjectList_, std::move(entries), kSubjectFileName);
}

bool EmailFilter::ApplyToCcPage(std::vector<WordFilter> entries)
{
    return ApplyWordPage(toCcList_, std::move(entries), kToCcFileName);
}

bool EmailFilter::ApplySizePage(std::vector<SizeFilter> entries)
{
    WriterSection section(lock_);
    if (!section.held())
        return false;
    sizeList_ = std::move(entries);
    return save_list_file(file_path(kSizeFileName), sizeList_, reporter_);
}

bool EmailFilter::ApplyPowerPage(std::vector<PowerFilter> entries)
{
    WriterSection section(lock_);
    if (!section.held())
        return false;
    powerList_ = std::move(entries);
    return SavePowerFilters(folder_, powerList_, reporter_);
}

bool EmailFilter::ApplyAddressPage(bool friends, bool check, const std::vector<std::string>* addresses)
{
    WriterSection section(lock_);
    if (!section.held())
        return false;
    (friends ? switches_.checkFriends : switches_.checkSpammers) = check;
    SaveSwitches(switches_);
    if (!addresses)
        return true;
    (friends ? friends_ : spammers_) = address_keys(*addresses);
    return SaveAddresses(file_path(friends ? kFriendsFileName : kSpammersFileName), *addresses, reporter_);
}

bool EmailFilter::ApplyFriendsPage(bool check, const std::vector<std::string>* addresses)
{
    return ApplyAddressPage(true, check, addresses);
}

bool EmailFilter::ApplySpammersPage(bool check, const std::vector<std::string>* addresses)
{
    return ApplyAddressPage(false, check, addresses);
}

bool EmailFilter::SetSwitches(const FilterSwitches& switches)
{
    WriterSection section(lock_);
    if (!section.held())
        return false;
    switches_ = switches;
    return true;
}

bool EmailFilter::AddToWordList(WordList which, const std::string& field, FilterDialogs& dialogs)
{
    WordFilter entry(field);
    if (!dialogs.EditWordFilter(which, entry))
        return false;
    WriterSection section(lock_);
    if (!section.held())
        return false;
    if (which == WordList::from) {
        fromList_.push_back(std::move(entry));
        save_list_file(file_path(kFromFileName), fromList_, reporter_);
    } else {
        subjectList_.push_back(std::move(entry));
        save_list_file(file_path(kSubjectFileName), subjectList_, reporter_);
    }
    return true;
}

bool EmailFilter::AddToFromFilter(const Message& message, FilterDialogs& dialogs)
{
    return AddToWordList(WordList::from, message.from(), dialogs);
}

bool EmailFilter::AddToSubjectFilter(const Message& message, FilterDialogs& dialogs)
{
    return AddToWordList(WordList::subject, message.subject(), dialogs);
}

bool EmailFilter::AddToAddresses(AddressList which, const Message& message, FilterDialogs& dialogs)
{
    WriterSection section(lock_);
    if (!section.held())
        return false;
    std::string address = ExtractAddress(message.from());
    if (address.empty() || !dialogs.EditAddress(which, address) || address.empty())
        return false;
    bool friends = which == AddressList::friends;
    AddressKeys& keys = friends ? friends_ : spammers_;
    if (keys.insert(AddressKey(address)).second)
        AppendAddress(file_path(friends ? kFriendsFileName : kSpammersFileName), address, reporter_);
    return true;
}

bool EmailFilter::AddToFriends(const Message& message, FilterDialogs& dialogs)
{
    return AddToAddresses(AddressList::friends, message, dialogs);
}

bool EmailFilter::AddToSpammers(const Message& message, FilterDialogs& dialogs)
{
    return AddToAddresses(AddressList::spammers, message, dialogs);
}

bool EmailFilter::AddPowerFilter(const Message& message, FilterDialogs& dialogs)
{
    PowerFilter filter;
    if (!message.from().empty()) {
        filter.name = message.from();
        filter.from = message.from();
    }
    if (!message.subject().empty())
        filter.subject = message.subject();
    if (!message.to().empty())
        filter.toCc = message.to();
    if (message.has_attachment() && !message.attachment_names().empty() && !message.attachment_names().front().empty())
        filter.attach = message.attachment_names().front();
    if (!dialogs.EditPowerFilter(filter))
        return false;
    WriterSection section(lock_);
    if (!section.held())
        return false;
    powerList_.push_back(std::move(filter));
    SavePowerFilters(folder_, powerList_, reporter_);
    return true;
}

}  // namespace kivo::filter
