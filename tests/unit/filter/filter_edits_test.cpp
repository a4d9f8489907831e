#include <doctest/doctest.h>

#include <memory>

#include "filter/email_filter.h"
#include "filter/list_file.h"
#include "filter/power_file.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"
#include "support/filter_fakes.h"
#include "support/temp_dir.h"

using namespace kivo::filter;
using kivo::Message;
using kivo::test::make_message;
using kivo::test::RecordingActions;
using kivo::test::RecordingReporter;
using kivo::test::TempDir;

namespace {

// Answers the dialogs: OK or Cancel, optionally changing what is shown.
struct ScriptedDialogs : FilterDialogs {
    bool ok = true;
    std::string new_address;  // replaces the shown address when set
    std::vector<std::string> shown;
    bool EditWordFilter(WordList, WordFilter& entry) override
    {
        shown.push_back(entry.text);
        entry.uncertain = false;
        return ok;
    }
    bool EditAddress(AddressList, std::string& address) override
    {
        shown.push_back(address);
        if (!new_address.empty())
            address = new_address;
        return ok;
    }
    bool EditPowerFilter(PowerFilter& filter) override
    {
        shown.push_back(filter.name + "|" + filter.from + "|" + filter.subject + "|" + filter.toCc + "|" + filter.attach);
        return ok;
    }
};

struct Rig {
    TempDir dir;
    RecordingReporter reporter;
    RecordingActions actions;
    ScriptedDialogs dialogs;
    std::unique_ptr<EmailFilter> filter;

    Rig() { reload(); }
    void reload()
    {
        filter.reset();
        EmailFilterConfig config;
        config.folder = dir.folder();
        config.useRegistry = false;
        filter = std::make_unique<EmailFilter>(actions, reporter, config);
    }
};

}  // namespace

TEST_CASE("page apply rewrites the list and its file; a new EmailFilter loads it back")
{
    Rig rig;
    WordFilter w("cheap");
    w.useCase = true;
    SizeFilter s;
    s.upperBound = 102400;
    PowerFilter p;
    p.name = "P";
    p.subjectEnabled = true;
    p.subject = "urgent";
    CHECK(rig.filter->ApplyFromPage({w}));
    CHECK(rig.filter->ApplySubjectPage({WordFilter("a"), WordFilter("b")}));
    CHECK(rig.filter->ApplyToCcPage({WordFilter("me@x.com")}));
    CHECK(rig.filter->ApplySizePage({s}));
    CHECK(rig.filter->ApplyPowerPage({p}));
    CHECK(rig.filter->ApplySpammersPage(true, nullptr));
    std::vector<std::string> friends = {"pal@x.com", "", "pal@x.com", "mate@y.com"};
    CHECK(rig.filter->ApplyFriendsPage(false, &friends));
    CHECK(rig.filter->friends().size() == 2);

    rig.reload();
    CHECK(rig.filter->fromList() == std::vector<WordFilter>{w});
    CHECK(rig.filter->subjectList().size() == 2);
    CHECK(rig.filter->toCcList().size() == 1);
    CHECK(rig.filter->sizeList() == std::vector<SizeFilter>{s});
    CHECK(rig.filter->powerList() == std::vector<PowerFilter>{p});
    CHECK(rig.filter->friends().size() == 2);
    CHECK(kivo::test::read_file(rig.dir.file(kFriendsFileName)) == "pal@x.com\r\npal@x.com\r\nmate@y.com\r\n");
}

TEST_CASE("Friends and Spammers pages write both switches to the registry")
{
    using kivo::platform::RegKey;
    using kivo::platform::RegRoot;
    RegKey::delete_tree(RegRoot::current_user, kivo::kFilterKey);
    Rig rig;
    CHECK(rig.filter->ApplyFriendsPage(false, nullptr));
    RegKey key = RegKey::open_read(RegRoot::current_user, kivo::kFilterKey);
    REQUIRE(key);
    std::uint32_t v = 9;
    CHECK((key.read_dword("CheckFriends", v) && v == 0));
    CHECK((key.read_dword("CheckSpammers", v) && v == 1));
    CHECK_FALSE(rig.filter->checkFriends());
    RegKey::delete_tree(RegRoot::current_user, kivo::kFilterKey);
}

TEST_CASE("Add to From/Subject: the dialog sees the field; OK appends and saves, Cancel changes nothing")
{
    Rig rig;
    Message m = make_message({"From: Promo <promo@shop.com>", "Subject: Big sale"});
    CHECK(rig.filter->AddToFromFilter(m, rig.dialogs));
    CHECK(rig.filter->AddToSubjectFilter(m, rig.dialogs));
    CHECK(rig.dialogs.shown == std::vector<std::string>{" Promo <promo@shop.com>", " Big sale"});
    rig.dialogs.ok = false;
    CHECK_FALSE(rig.filter->AddToFromFilter(m, rig.dialogs));

    rig.reload();
    REQUIRE(rig.filter->fromList().size() == 1);
    CHECK(rig.filter->fromList()[0].text == " Promo <promo@shop.com>");
    CHECK_FALSE(rig.filter->fromList()[0].uncertain);
    CHECK(rig.filter->subjectList().size() == 1);
}

TEST_CASE("Add to Friends/Spammers: the address, a new key appends once, the edited address counts")
{
    Rig rig;
    Message m = make_message({"From: Pal <pal@home.com>"});
    CHECK(rig.filter->AddToFriends(m, rig.dialogs));
    CHECK(rig.filter->AddToFriends(m, rig.dialogs));  // same key: no second line
    CHECK(kivo::test::read_file(rig.dir.file(kFriendsFileName)) == "pal@home.com\r\n");

    rig.dialogs.new_address = "edited@home.com";
    CHECK(rig.filter->AddToSpammers(m, rig.dialogs));
    CHECK(kivo::test::read_file(rig.dir.file(kSpammersFileName)) == "edited@home.com\r\n");

    Message nobody = make_message({"From:   "});
    rig.dialogs.shown.clear();
    CHECK_FALSE(rig.filter->AddToFriends(nobody, rig.dialogs));
    CHECK(rig.dialogs.shown.empty());  // no dialog for an empty address

    rig.reload();
    Message from_pal = make_message({"From: pal@home.com"});
    CHECK(rig.filter->Classify(from_pal) == ClassifyStage::friends);
    Message from_edited = make_message({"From: edited@home.com"});
    CHECK(rig.filter->Classify(from_edited) == ClassifyStage::spammers);
}

TEST_CASE("Add to Power: the filter starts from the message's fields")
{
    Rig rig;
    Message m = make_message({"From: a@b.c", "Subject: s", "To: t@u.v", "Content-Type: multipart/mixed; boundary=B"},
                             10, {"--B", "Content-Disposition: attachment; filename=r.pdf", "", "x"});
    CHECK(rig.filter->AddPowerFilter(m, rig.dialogs));
    CHECK(rig.dialogs.shown.back() == " a@b.c| a@b.c| s| t@u.v|r.pdf");
    rig.reload();
    REQUIRE(rig.filter->powerList().size() == 1);
    CHECK(rig.filter->powerList()[0].name == " a@b.c");
}
