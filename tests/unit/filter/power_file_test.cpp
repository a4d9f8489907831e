#include <doctest/doctest.h>

#include <filesystem>

#include "filter/power_file.h"
#include "filter/text_lines.h"
#include "support/filter_fakes.h"
#include "support/temp_dir.h"

using namespace kivo::filter;
using kivo::test::RecordingReporter;
using kivo::test::TempDir;

namespace {

PowerFilter named(std::string name)
{
    PowerFilter f;
    f.name = std::move(name);
    return f;
}

// Everything set away from its default.
PowerFilter busy_filter()
{
    PowerFilter f = named("Busy one");
    f.state = 1;
    f.upperBound = 102400;
    f.lowerBound = 2048;
    f.fromEnabled = f.subjectEnabled = f.toCcEnabled = f.attachEnabled = true;
    f.bodyEnabled = f.priorityEnabled = f.headerEnabled = true;
    f.fromCondition = 1;
    f.subjectCondition = 1;
    f.toCcCondition = 0;
    f.attachCondition = 1;
    f.bodyCondition = 1;
    f.headerCondition = 1;
    f.from = "boss@work.com";
    f.subject = "Re: = ; \xE9t\xE9";
    f.toCc = "me@home.com; me@work.com other";
    f.priority = 1;
    f.attach = ".exe";
    f.body = "unsubscribe";
    f.header = "X-Spam: yes";
    f.runMailer = f.launchProgram = f.playSound = f.sendMsgToUrl = true;
    f.launchProgramPath = "C:\\Program Files\\x.exe";
    f.soundFile = "C:\\ding.wav";
    f.urlForSending = "http://example.com/in?x=1";
    f.set_mark(PowerMark::friendly);
    f.fromCase = f.subjectCase = f.toCcCase = f.attachCase = f.bodyCase = f.headerCase = true;
    return f;
}

}  // namespace

TEST_CASE("power filter: defaults and marks")
{
    PowerFilter f;
    CHECK(f.mark() == PowerMark::uncertain);
    CHECK(f.state == 0);
    CHECK(f.upperBound == -1);
    CHECK(f.lowerBound == -1);
    CHECK(f.toCcCondition == 1);
    CHECK(f.priority == 3);
    f.set_mark(PowerMark::friendly);
    CHECK((f.friendly && !f.uncertain));
    f.set_mark(PowerMark::deleted);
    CHECK((!f.friendly && !f.uncertain));
}

TEST_CASE("power.dat: the 39 lines of a new filter, exactly")
{
    std::string text = format_power_file({named("F")});
    std::string expected =
        "FilterName=F\r\nEnabled=yes\r\nFromEnabled=no\r\nSubjectEnabled=no\r\nToCcEnabled=no\r\n"
        "PriorityEnabled=no\r\nAttachEnabled=no\r\nBodyEnabled=no\r\nHeaderEnabled=no\r\n"
        "FromCondition=0\r\nSubjectCondition=0\r\nToCcCondition=1\r\nAttachCondition=0\r\n"
        "BodyCondition=0\r\nHeaderCondition=0\r\nPriority=3\r\nFrom=\r\nSubject=\r\nToCc=\r\n"
        "Attach=\r\nBody=\r\nHeader=\r\nFriendly=no\r\nQuestion=yes\r\nRunMailer=no\r\n"
        "LaunchProgram=no\r\nLaunchProgramPath=\r\nPlaySound=no\r\nSoundFile=\r\nSendMsgToURL=no\r\n"
        "URLForSending=\r\nFromCase=no\r\nSubjectCase=no\r\nToCcCase=no\r\nAttachCase=no\r\n"
        "BodyCase=no\r\nHeaderCase=no\r\nUpperBound=-1\r\nLowerBound=-1\r\n";
    CHECK(text == expected);
    CHECK(split_text_lines(text).size() == 39);
}

TEST_CASE("power.dat: a list round-trips in order, with every mark")
{
    PowerFilter deleted = named("Deleted");
    deleted.set_mark(PowerMark::deleted);
    PowerFilter long_text = named("Long");
    long_text.toCc = std::string(400, 'a') + "Body=not a key";  // longer than any line buffer
    std::vector<PowerFilter> filters = {busy_filter(), named("Plain"), deleted, long_text};
    CHECK(parse_power_file(format_power_file(filters)) == filters);
}

TEST_CASE("power.dat: reading quirks")
{
    SUBCASE("lines before the first FilterName are ignored")
    {
        auto filters = parse_power_file("Enabled=no\r\nFrom=x\r\nFilterName=A\r\nSubject=s\r\n");
        REQUIRE(filters.size() == 1);
        CHECK(filters[0].name == "A");
        CHECK(filters[0].state == 0);
        CHECK(filters[0].from.empty());
        CHECK(filters[0].subject == "s");
    }
    SUBCASE("yes/no is exactly lower-case yes")
    {
        auto filters = parse_power_file("FilterName=A\nEnabled=Yes\nFromEnabled=YES\nBodyEnabled=yes\n");
        REQUIRE(filters.size() == 1);
        CHECK(filters[0].state == 1);
        CHECK_FALSE(filters[0].fromEnabled);
        CHECK(filters[0].bodyEnabled);
    }
    SUBCASE("an empty FilterName ends the filter; its lines are dropped until the next name")
    {
        auto filters = parse_power_file("FilterName=A\nFrom=a\nFilterName=\nFrom=lost\nFilterName=B\nFrom=b\n");
        REQUIRE(filters.size() == 2);
        CHECK(filters[0].from == "a");
        CHECK(filters[1].name == "B");
        CHECK(filters[1].from == "b");
    }
    SUBCASE("numbers: sign, blanks, trailing text, conditions become 0 or 1, huge values stop at the limit")
    {
        auto filters = parse_power_file(
            "FilterName=A\nPriority=  -5x\nFromCondition=7\nToCcCondition=0\nUpperBound=99999999999\n"
            "LowerBound=abc\n");
        REQUIRE(filters.size() == 1);
        CHECK(filters[0].priority == -5);
        CHECK(filters[0].fromCondition == 1);
        CHECK(filters[0].toCcCondition == 0);
        CHECK(filters[0].upperBound == 2147483647);
        CHECK(filters[0].lowerBound == 0);
    }
    SUBCASE("Friendly before Question: the written pairs come back; Question alone decides otherwise")
    {
        struct Row {
            const char* lines;
            PowerMark mark;
        } rows[] = {
            {"Friendly=yes\nQuestion=no\n", PowerMark::friendly},
            {"Friendly=no\nQuestion=yes\n", PowerMark::uncertain},
            {"Friendly=no\nQuestion=no\n", PowerMark::deleted},
            {"Question=no\n", PowerMark::deleted},
            {"Question=no\nFriendly=maybe\n", PowerMark::uncertain},
            {"Friendly=yes\nQuestion=yes\n", PowerMark::uncertain},
        };
        for (const Row& row : rows) {
            auto filters = parse_power_file(std::string("FilterName=A\n") + row.lines);
            REQUIRE(filters.size() == 1);
            CHECK_MESSAGE(filters[0].mark() == row.mark, row.lines);
        }
    }
    SUBCASE("keys are case-sensitive prefixes; unknown lines are ignored; a repeated key overwrites")
    {
        auto filters = parse_power_file("FilterName=A\nfrom=x\nFrom =y\nFrom=1\nFrom=2\nSubject=a=b\n");
        REQUIRE(filters.size() == 1);
        CHECK(filters[0].from == "2");
        CHECK(filters[0].subject == "a=b");
    }
}

TEST_CASE("power.dat: a filter without a name is not written into its neighbour")
{
    PowerFilter first = named("First");
    first.from = "keep";
    PowerFilter nameless;
    nameless.from = "would overwrite";
    auto back = parse_power_file(format_power_file({first, nameless}));
    REQUIRE(back.size() == 1);
    CHECK(back[0].from == "keep");
}

TEST_CASE("power.dat on disk: load, save and a failed save")
{
    TempDir dir;
    RecordingReporter reporter;
    CHECK(LoadPowerFilters(dir.folder()).empty());
    std::vector<PowerFilter> filters = {busy_filter(), named("Second")};
    REQUIRE(SavePowerFilters(dir.folder(), filters, reporter));
    CHECK(LoadPowerFilters(dir.folder()) == filters);

    std::filesystem::create_directory(dir.file("power.dat.tmp"));
    CHECK_FALSE(SavePowerFilters(dir.folder(), {named("Other")}, reporter));
    CHECK(LoadPowerFilters(dir.folder()) == filters);
    CHECK(reporter.failed_files.size() == 1);
}
