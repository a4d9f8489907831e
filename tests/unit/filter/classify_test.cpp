#include <doctest/doctest.h>

#include <memory>

#include "filter/address_file.h"
#include "filter/email_filter.h"
#include "filter/list_file.h"
#include "filter/power_file.h"
#include "filter/text_match.h"
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

struct Marks {
    bool deleted, spammer, uncertain, friendly;
    bool operator==(const Marks&) const = default;
};

Marks marks(const Message& m) { return {m.deleted(), m.spammer(), m.uncertain(), m.friendly()}; }

WordFilter word(std::string text, bool uncertain = true, bool useCase = false)
{
    WordFilter w(std::move(text));
    w.uncertain = uncertain;
    w.useCase = useCase;
    return w;
}

// A folder of filter files and an EmailFilter over it, without the registry.
struct Rig {
    TempDir dir;
    RecordingReporter reporter;
    RecordingActions actions;

    void words(const char* file, std::vector<WordFilter> list) { save_list_file(dir.file(file), list, reporter); }
    void sizes(std::vector<SizeFilter> list) { save_list_file(dir.file(kSizeFileName), list, reporter); }
    void power(std::vector<PowerFilter> list) { SavePowerFilters(dir.folder(), list, reporter); }
    void addresses(const char* file, std::vector<std::string> list) { SaveAddresses(dir.file(file), list, reporter); }

    std::unique_ptr<EmailFilter> make(bool friends = true, bool spammers = true)
    {
        EmailFilterConfig config;
        config.folder = dir.folder();
        config.useRegistry = false;
        auto filter = std::make_unique<EmailFilter>(actions, reporter, config);
        filter->SetSwitches({spammers, friends});
        return filter;
    }
};

PowerFilter power_from(std::string name, std::string pattern, PowerMark mark)
{
    PowerFilter f;
    f.name = std::move(name);
    f.fromEnabled = true;
    f.from = std::move(pattern);
    f.set_mark(mark);
    return f;
}

}  // namespace

TEST_CASE("Match: empty sides, conditions, case")
{
    struct Row {
        const char* text;
        int condition;
        const char* pattern;
        bool useCase;
        bool expected;
    } rows[] = {
        {"", 0, "", false, true},        {"", 1, "", false, true},
        {"", 0, "x", false, false},      {"", 1, "x", false, false},
        {"abc", 0, "", false, false},    {"abc", 1, "", false, false},
        {"Unsubscribe", 0, "subs", false, true},  // inside a word
        {"Unsubscribe", 0, "SUBS", false, true},  {"Unsubscribe", 0, "SUBS", true, false},
        {"Unsubscribe", 1, "SUBS", true, true},   {"Unsubscribe", 1, "subs", false, false},
        {"Unsubscribe", 7, "subs", false, true},  // any other condition means "contains"
        {"\xC9T\xC9", 0, "\xE9t\xE9", false, true},  // code-page letters fold too
    };
    for (const Row& r : rows)
        CHECK_MESSAGE(Match(r.text, r.condition, r.pattern, r.useCase) == r.expected, r.text, " / ", r.pattern);
}

TEST_CASE("ExtractAddress and AddressKey")
{
    struct Row {
        const char* from;
        const char* address;
    } rows[] = {
        {" John Smith <John@Example.com>", "John@Example.com"},
        {"  bare@example.com \t", "bare@example.com"},
        {" Broken <open@example.com ", "Broken <open@example.com"},
        {"<>", ""},
        {"< spaced@x.com >", " spaced@x.com "},
        {"a>b <c@d.e>", "c@d.e"},  // a ">" before the "<" does not close it
        {"x> y <z", "x> y <z"},
        {"", ""},
    };
    for (const Row& r : rows)
        CHECK_MESSAGE(ExtractAddress(r.from) == r.address, r.from);

    CHECK(AddressKey("abc") == 0xCA6598D0u);
    CHECK(AddressKey("") == 0u);
    CHECK(AddressKey("john@example.com") != AddressKey("John@example.com"));
}

TEST_CASE("Classify: a friend is marked friendly and nothing else runs")
{
    Rig rig;
    rig.addresses(kFriendsFileName, {"pal@home.com"});
    rig.addresses(kSpammersFileName, {"pal@home.com"});
    rig.words(kFromFileName, {word("pal", false)});
    PowerFilter p = power_from("P", "pal", PowerMark::deleted);
    p.runMailer = true;
    rig.power({p});
    auto filter = rig.make();

    Message m = make_message({"From: Pal <pal@home.com>"});
    CHECK(filter->Classify(m) == ClassifyStage::friends);
    CHECK(marks(m) == Marks{false, false, false, true});
    CHECK(rig.actions.calls.empty());

    SUBCASE("keys are case-sensitive: another case is no friend")
    {
        Message other = make_message({"From: Pal <Pal@home.com>"});
        filter->Classify(other);
        CHECK_FALSE(other.friendly());
        CHECK(other.deleted());
    }
    SUBCASE("with the friends switch off the spammers list takes it")
    {
        auto off = rig.make(false, true);
        Message again = make_message({"From: Pal <pal@home.com>"});
        CHECK(off->Classify(again) == ClassifyStage::from);
        CHECK(again.deleted());
    }
}

TEST_CASE("Classify: power filters all fire, and a later deleted mark clears their friendly")
{
    Rig rig;
    PowerFilter a = power_from("A", "news", PowerMark::friendly);
    a.runMailer = a.launchProgram = a.playSound = a.sendMsgToUrl = true;
    a.launchProgramPath = "notepad.exe";
    a.soundFile = "ding.wav";
    a.urlForSending = "http://h/x";
    PowerFilter disabled = power_from("Off", "news", PowerMark::deleted);
    disabled.state = 1;
    disabled.runMailer = true;
    PowerFilter b = power_from("B", "letter", PowerMark::uncertain);
    b.runMailer = true;
    rig.power({a, disabled, b});

    SUBCASE("no list matches: the power marks stay")
    {
        auto filter = rig.make();
        Message m = make_message({"From: newsletter@shop.com", "To: me@x.com", "Subject: Hi & bye"}, 10, {"body"});
        CHECK(filter->Classify(m) == ClassifyStage::none);
        CHECK(marks(m) == Marks{false, false, true, true});
        CHECK(rig.actions.calls == std::vector<std::string>{
                                       "mailer", "launch notepad.exe", "sound ding.wav",
                                       "url http://h/x?to=%20me%40x.com&cc=&bcc=&subject=%20Hi%20%26%20bye&emailbody=body%0D%0A",
                                       "mailer"});
    }
    SUBCASE("a matching From entry marked deleted clears friendly")
    {
        rig.words(kFromFileName, {word("shop.com", false)});
        auto filter = rig.make();
        Message m = make_message({"From: newsletter@shop.com"});
        CHECK(filter->Classify(m) == ClassifyStage::from);
        CHECK(marks(m) == Marks{true, false, true, false});
    }
}

TEST_CASE("Classify: stage order, first matching entry wins")
{
    Rig rig;
    rig.words(kFromFileName, {word("nomatch"), word("promo", true)});
    rig.words(kSubjectFileName, {word("WIN", false, true)});
    rig.addresses(kSpammersFileName, {"bad@spam.com"});
    rig.words(kToCcFileName, {word("me@home.com; me@work.com", false)});
    SizeFilter big;
    big.upperBound = 102400;
    rig.sizes({big});
    auto filter = rig.make();

    struct Row {
        std::vector<std::string> header;
        std::int32_t size;
        ClassifyStage stage;
        Marks expected;
    } rows[] = {
        {{"From: promo@shop.com", "Subject: WIN", "To: x@y.com"}, 200000, ClassifyStage::from, {false, false, true, false}},
        {{"From: a@shop.com", "Subject: WIN now", "To: me@home.com"}, 10, ClassifyStage::subject, {true, false, false, false}},
        {{"From: a@shop.com", "Subject: win now", "To: me@home.com"}, 10, ClassifyStage::none, {false, false, false, false}},
        {{"From: <bad@spam.com>", "Subject: hi", "To: me@home.com"}, 200000, ClassifyStage::spammers, {true, true, false, false}},
        {{"From: a@b.com", "Subject: hi", "To: third@else.com"}, 10, ClassifyStage::toCc, {true, false, false, false}},
        {{"From: a@b.com", "Subject: hi", "To: third@else.com", "Cc: ME@WORK.COM"}, 10, ClassifyStage::none, {false, false, false, false}},
        {{"From: a@b.com", "Subject: hi", "To: me@home.com"}, 102401, ClassifyStage::size, {false, false, true, false}},
        {{"From: a@b.com", "Subject: hi", "To: me@home.com"}, 102400, ClassifyStage::none, {false, false, false, false}},
    };
    for (Row& r : rows) {
        Message m = make_message(r.header, r.size);
        CAPTURE(r.header[0]);
        CAPTURE(r.size);
        CHECK(filter->Classify(m) == r.stage);
        CHECK(marks(m) == r.expected);
    }

    SUBCASE("spammers switch off: the list is ignored and later stages run")
    {
        auto off = rig.make(true, false);
        Message m = make_message({"From: <bad@spam.com>", "Subject: hi", "To: x@else.com"});
        CHECK(off->Classify(m) == ClassifyStage::toCc);
        CHECK_FALSE(m.spammer());
    }
}

TEST_CASE("Classify: To/Cc entries")
{
    struct Row {
        const char* entry;
        const char* to;
        const char* cc;
        bool matches;
    } rows[] = {
        {"me@home.com; me@work.com", " third@x.com", nullptr, true},
        {"me@home.com; me@work.com", " third@x.com", " me@work.com", false},
        {"me@home.com;;me@work.com", " third@x.com", nullptr, false},  // empty piece: never
        {"me@home.com;", " third@x.com", nullptr, true},               // trailing ";" adds nothing
        {"  ", " third@x.com", nullptr, false},
        {"ME@HOME.COM", " me@home.com", nullptr, false},
    };
    for (const Row& r : rows) {
        Rig rig;
        rig.words(kToCcFileName, {word(r.entry)});
        auto filter = rig.make();
        std::vector<std::string> header = {"From: a@b.com", std::string("To:") + r.to};
        if (r.cc)
            header.push_back(std::string("Cc:") + r.cc);
        Message m = make_message(header);
        CHECK_MESSAGE((filter->Classify(m) == ClassifyStage::toCc) == r.matches, r.entry, " to", r.to);
    }
    // Case-sensitive entry: another case is absent.
    Rig rig;
    rig.words(kToCcFileName, {word("ME@HOME.COM", true, true)});
    auto filter = rig.make();
    Message m = make_message({"From: a@b.com", "To: me@home.com"});
    CHECK(filter->Classify(m) == ClassifyStage::toCc);
}

TEST_CASE("size entries at their edges")
{
    struct Row {
        std::int32_t upper, lower, size;
        bool hit;
    } rows[] = {
        {102400, -1, 102401, true}, {102400, -1, 102400, false}, {-1, 0, 0, false},
        {-1, 0, -5, false},         {-1, 10240, 10239, true},    {-1, 10240, 10240, false},
        {102400, 10240, 51200, false}, {102400, 10240, 5120, true}, {102400, 10240, 200000, true},
        {0, -1, 1, true},           {0, -1, 0, false},           {-1, -1, 5, false},
    };
    for (const Row& r : rows) {
        SizeFilter f;
        f.upperBound = r.upper;
        f.lowerBound = r.lower;
        CHECK_MESSAGE(f.size_hit(r.size) == r.hit, r.upper, " ", r.lower, " ", r.size);
    }
}

TEST_CASE("PowerFilter::Evaluate combinations")
{
    Message m = make_message({"From: Boss <boss@work.com>", "Subject: Quarterly report", "To: me@home.com",
                              "Cc: team@work.com", "X-Priority: 2"},
                             150000, {"see the numbers"});
    PowerFilter f;
    f.name = "F";
    CHECK_FALSE(f.Evaluate(m));  // no condition, no size: never

    SUBCASE("size only")
    {
        f.upperBound = 102400;
        CHECK(f.Evaluate(m));
        f.upperBound = 200000;
        CHECK_FALSE(f.Evaluate(m));
    }
    SUBCASE("size and a condition must both hold")
    {
        f.upperBound = 102400;
        f.subjectEnabled = true;
        f.subject = "report";
        CHECK(f.Evaluate(m));
        f.subject = "invoice";
        CHECK_FALSE(f.Evaluate(m));
    }
    SUBCASE("priority is compared exactly")
    {
        f.priorityEnabled = true;
        f.priority = 1;
        CHECK_FALSE(f.Evaluate(m));
        f.priority = 2;
        CHECK(f.Evaluate(m));
    }
    SUBCASE("To/Cc tokens")
    {
        f.toCcEnabled = true;
        f.toCcCondition = kContains;
        f.toCc = "nobody@x.com; other@y.com team@work.com";
        CHECK(f.Evaluate(m));  // any token, in To or Cc
        f.toCc = "nobody@x.com; other@y.com";
        CHECK_FALSE(f.Evaluate(m));
        f.toCc = " ; ";
        CHECK_FALSE(f.Evaluate(m));  // no token

        f.toCcCondition = kDoesNotContain;
        f.toCc = "me@home.com team@work.com";
        CHECK(f.Evaluate(m));  // each is missing from one of To and Cc
        f.toCc = "work.com";
        CHECK(f.Evaluate(m));  // missing from To
        f.toCc = "o";
        CHECK_FALSE(f.Evaluate(m));  // in both
        Message no_cc = make_message({"From: a@b.c", "To: me@home.com"});
        f.toCc = "me@home.com";
        CHECK_FALSE(f.Evaluate(no_cc));  // an empty Cc never counts as missing
    }
    SUBCASE("doesn't contain with an empty field is false")
    {
        Message empty_from = make_message({"From:", "Subject: x"});
        f.fromEnabled = true;
        f.fromCondition = kDoesNotContain;
        f.from = "spam";
        CHECK_FALSE(f.Evaluate(empty_from));
        CHECK(f.Evaluate(m));
    }
    SUBCASE("attachments, body, header and case")
    {
        Message with_file = make_message(
            {"From: a@b.c", "Content-Type: multipart/mixed; boundary=XYZ"}, 10,
            {"--XYZ", "Content-Type: text/plain", "", "hi", "--XYZ",
             "Content-Disposition: attachment; filename=\"Invoice.EXE\"", "", "data", "--XYZ--"});
        f.attachEnabled = true;
        f.attach = ".exe";
        CHECK(f.Evaluate(with_file));
        CHECK_FALSE(f.Evaluate(m));  // no attachments: false whatever the condition
        f.attachCase = true;
        CHECK_FALSE(f.Evaluate(with_file));
        f.attachCase = false;
        f.bodyEnabled = true;
        f.body = "Content-Disposition";
        CHECK(f.Evaluate(with_file));
        f.headerEnabled = true;
        f.header = "multipart/MIXED";
        CHECK(f.Evaluate(with_file));
        f.headerCase = true;
        CHECK_FALSE(f.Evaluate(with_file));
    }
}

TEST_CASE("BuildQuery: every field percent-encoded byte by byte, empty ones leave their prefix")
{
    Message m = make_message({"From: a@b.c", "To: me@x.com", "Subject: Tom & Jerry #1 100%+=\xE9"}, 10, {"line"});
    CHECK(BuildQuery("http://h/p", m) ==
          "http://h/p?to=%20me%40x.com&cc=&bcc=&subject=%20Tom%20%26%20Jerry%20%231%20100%25%2B%3D%E9"
          "&emailbody=line%0D%0A");
    Message none = make_message({});
    CHECK(BuildQuery("u", none) == "u?to=None&cc=&bcc=&subject=None&emailbody=");
    CHECK(PercentEncode("AZaz09-._~") == "AZaz09-._~");
    CHECK(PercentEncode(std::string("\0\x7F\xFF", 3)) == "%00%7F%FF");
}

TEST_CASE("FireActions: order, and empty arguments call nothing")
{
    RecordingActions actions;
    PowerFilter f;
    f.runMailer = f.launchProgram = f.playSound = f.sendMsgToUrl = true;
    Message m = make_message({"To: t"});
    FireActions(f, m, actions);
    CHECK(actions.calls == std::vector<std::string>{"mailer"});
}

TEST_CASE("switches: read from the Filter key, any non-zero is on, a missing value keeps the default")
{
    using kivo::platform::RegKey;
    using kivo::platform::RegRoot;
    RegKey::delete_tree(RegRoot::current_user, kivo::kFilterKey);
    FilterSwitches s;
    LoadSwitches(s);
    CHECK((s.checkSpammers && s.checkFriends));

    {
        RegKey key = RegKey::open_or_create(RegRoot::current_user, kivo::kFilterKey);
        REQUIRE(key);
        key.write_dword("CheckFriends", 0);
        key.write_string("CheckSpammers", "0");  // wrong type: ignored
    }
    LoadSwitches(s);
    CHECK(s.checkSpammers);
    CHECK_FALSE(s.checkFriends);
    {
        RegKey key = RegKey::open_or_create(RegRoot::current_user, kivo::kFilterKey);
        key.write_dword("CheckFriends", 2);
    }
    LoadSwitches(s);
    CHECK(s.checkFriends);

    SaveSwitches({false, true});
    RegKey key = RegKey::open_read(RegRoot::current_user, kivo::kFilterKey);
    std::uint32_t v = 9;
    CHECK((key.read_dword("CheckSpammers", v) && v == 0));
    CHECK((key.read_dword("CheckFriends", v) && v == 1));
    RegKey::delete_tree(RegRoot::current_user, kivo::kFilterKey);
}
