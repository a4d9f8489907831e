#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "filter/address_file.h"
#include "filter/error_reporter.h"
#include "filter/filter_actions.h"
#include "filter/filter_dialogs.h"
#include "filter/filter_lock.h"
#include "filter/filter_switches.h"
#include "filter/power_filter.h"
#include "filter/size_filter.h"
#include "filter/word_filter.h"

namespace kivo {
class Message;
}

namespace kivo::filter {

// The stage of Classify that ended the run.
enum class ClassifyStage {
    none,      // no list matched (power filters may still have marked)
    friends,
    from,
    subject,
    spammers,
    toCc,
    size,
    skipped,   // the lock could not be taken: the message stays unmarked
};

const char* stage_name(ClassifyStage stage);

struct EmailFilterConfig {
    std::string folder;          // where the filter files are; empty: the program's folder
    bool useRegistry = true;     // read the switches from the "Filter" key
    std::uint32_t lockTimeoutMs = FilterLock::kDefaultTimeoutMs;
};

// The user's filters, shared by every account thread (Classify, as readers)
// and edited by the window thread (as the writer). Loaded once, at
// construction; every edit rewrites its file at once.
class EmailFilter {
public:
    // Loads from.dat, subject.dat, to.dat, size.dat, power.dat, the switches,
    // spammers.dat and friends.dat, in this order.
    explicit EmailFilter(FilterActions& owner, ErrorReporter& reporter = log_error_reporter(),
                         EmailFilterConfig config = {});
    EmailFilter(const EmailFilter&) = delete;
    EmailFilter& operator=(const EmailFilter&) = delete;

    // Sets the message's marks and fires power filters' actions. Stages, in
    // order: friends, power filters (never ending the run), From, Subject,
    // spammers, To/Cc, size; the first list that matches ends the run.
    ClassifyStage Classify(Message& message);
    // The same, with the actions going to `actions` instead of the owner
    // (a CollectedActions, to fire them later, outside the lock).
    ClassifyStage Classify(Message& message, FilterActions& actions);

    // The lists as they stand. Window thread only: it is the one thread that
    // changes them, so it reads them without the lock.
    const std::vector<WordFilter>& fromList() const { return fromList_; }
    const std::vector<WordFilter>& subjectList() const { return subjectList_; }
    const std::vector<WordFilter>& toCcList() const { return toCcList_; }
    const std::vector<SizeFilter>& sizeList() const { return sizeList_; }
    const std::vector<PowerFilter>& powerList() const { return powerList_; }
    const AddressKeys& friends() const { return friends_; }
    const AddressKeys& spammers() const { return spammers_; }
    bool checkFriends() const { return switches_.checkFriends; }
    bool checkSpammers() const { return switches_.checkSpammers; }
    std::string file_path(const char* name) const { return folder_ + name; }

    // Page apply: replace a list with the page's entries and rewrite its
    // file. False when the lock could not be taken (the edit is dropped) or
    // the file could not be written (the list keeps the change).
    bool ApplyFromPage(std::vector<WordFilter> entries);
    bool ApplySubjectPage(std::vector<WordFilter> entries);
    bool ApplyToCcPage(std::vector<WordFilter> entries);
    bool ApplySizePage(std::vector<SizeFilter> entries);
    bool ApplyPowerPage(std::vector<PowerFilter> entries);
    // Friends and Spammers pages: store the check box and write both switches;
    // when the page's addresses changed (non-null), rebuild the key set and
    // rewrite the file.
    bool ApplyFriendsPage(bool check, const std::vector<std::string>* addresses);
    bool ApplySpammersPage(bool check, const std::vector<std::string>* addresses);

    // Sets the switches without storing them (kivo-diag takes them from its options).
    bool SetSwitches(const FilterSwitches& switches);

    // The Add to commands on a message. True when an entry was added.
    bool AddToFromFilter(const Message& message, FilterDialogs& dialogs);
    bool AddToSubjectFilter(const Message& message, FilterDialogs& dialogs);
    // These hold the lock as writer while the dialog is open.
    bool AddToFriends(const Message& message, FilterDialogs& dialogs);
    bool AddToSpammers(const Message& message, FilterDialogs& dialogs);
    bool AddPowerFilter(const Message& message, FilterDialogs& dialogs);

    FilterLock& lock() { return lock_; }

private:
    void LoadLists();

    bool FriendsStage(const Message& message) const;
    void PowerStage(Message& message, FilterActions& actions) const;
    bool WordStage(const std::vector<WordFilter>& list, const std::string& field, Message& message) const;
    bool SpammersStage(Message& message) const;
    bool ToCcStage(Message& message) const;
    bool SizeStage(Message& message) const;

    bool ApplyWordPage(std::vector<WordFilter>& list, std::vector<WordFilter> entries, const char* file);
    bool ApplyAddressPage(bool friends, bool check, const std::vector<std::string>* addresses);
    bool AddToWordList(WordList which, const std::string& field, FilterDialogs& dialogs);
    bool AddToAddresses(AddressList which, const Message& message, FilterDialogs& dialogs);

    std::string folder_;
    ErrorReporter& reporter_;
    bool useRegistry_;

    // Declared in the order the filter set has always had them.
    FilterSwitches switches_;  // checkSpammers, checkFriends
    std::vector<WordFilter> fromList_;
    FilterLock lock_;
    AddressKeys friends_;
    std::vector<PowerFilter> powerList_;
    std::vector<WordFilter> subjectList_;
    AddressKeys spammers_;
    std::vector<SizeFilter> sizeList_;
    std::vector<WordFilter> toCcList_;
    FilterActions& owner_;
};

}  // namespace kivo::filter
