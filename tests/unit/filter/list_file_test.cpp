#include <doctest/doctest.h>

#include <filesystem>

#include "filter/address_file.h"
#include "filter/list_file.h"
#include "filter/safe_file.h"
#include "message_ids.h"
#include "support/filter_fakes.h"
#include "support/le_bytes.h"
#include "support/temp_dir.h"

using namespace kivo::filter;
using kivo::test::bytes;
using kivo::test::le_u32;
using kivo::test::RecordingReporter;
using kivo::test::TempDir;

namespace {

WordFilter word(std::string text, bool uncertain = true, bool useCase = false)
{
    WordFilter w(std::move(text));
    w.uncertain = uncertain;
    w.useCase = useCase;
    return w;
}

}  // namespace

TEST_CASE("list file: exact bytes of empty, word and size lists")
{
    CHECK(format_list_file(std::vector<WordFilter>{}) == "KV10" + le_u32(0));

    std::string expected = "KV10" + le_u32(1) + le_u32(6) + bytes({'a', 0, 'b', 0, 'c', 0}) + bytes({0, 1}) + le_u32(0);
    CHECK(format_list_file(std::vector<WordFilter>{word("abc", false, true)}) == expected);

    // Empty text: the count 0 and nothing more.
    CHECK(format_list_file(std::vector<WordFilter>{word("")}) ==
          "KV10" + le_u32(1) + le_u32(0) + bytes({1, 0}) + le_u32(0));

    SizeFilter larger;
    larger.upperBound = 102400;  // "Larger than" 100 KB
    CHECK(format_list_file(std::vector<SizeFilter>{larger}) ==
          "KV10" + le_u32(1) + le_u32(102400) + le_u32(0xFFFFFFFF) + bytes({1, 0}) + le_u32(0));
}

TEST_CASE("list file: round trip keeps order, marks and high code page letters")
{
    RecordingReporter reporter;
    std::vector<WordFilter> words = {word("caf\xE9 \x80uro"), word("Spam", false, true), word("")};
    words[1].state = 1;
    CHECK(parse_list_file<WordFilter>(format_list_file(words), reporter) == words);

    std::vector<SizeFilter> sizes(2);
    sizes[0].lowerBound = 10240;
    sizes[1].upperBound = 0;
    sizes[1].uncertain = false;
    CHECK(parse_list_file<SizeFilter>(format_list_file(sizes), reporter) == sizes);
    CHECK(reporter.messages.empty());
}

TEST_CASE("list file: damaged and foreign files")
{
    RecordingReporter reporter;
    std::string good = format_list_file(std::vector<WordFilter>{word("one"), word("two")});

    SUBCASE("wrong magic or too short: empty, nothing reported")
    {
        std::string foreign = good;
        foreign[3] = '1';
        CHECK(parse_list_file<WordFilter>(foreign, reporter).empty());
        CHECK(parse_list_file<WordFilter>("KV", reporter).empty());
        CHECK(parse_list_file<WordFilter>("KV10", reporter).empty());
        CHECK(reporter.messages.empty());
    }
    SUBCASE("a truncated entry keeps the entries before it")
    {
        for (std::size_t cut = good.size() - 1; cut > 8; --cut) {
            auto entries = parse_list_file<WordFilter>(good.substr(0, cut), reporter);
            REQUIRE(entries.size() <= 1);
            if (entries.size() == 1)
                CHECK(entries[0].text == "one");
        }
        CHECK(reporter.messages.empty());
    }
    SUBCASE("a text record of 131072 bytes stops the load with the unexpected error")
    {
        std::string file = "KV10" + le_u32(3) + good.substr(8, 16) + le_u32(131072) + std::string(131072, 'x');
        auto entries = parse_list_file<WordFilter>(file, reporter);
        REQUIRE(entries.size() == 1);
        CHECK(entries[0].text == "one");
        REQUIRE(reporter.messages.size() == 1);
        CHECK(reporter.messages[0] == kivo::MSG_UNEXPECTED_ERROR_IN);
        CHECK(reporter.inserts[0] == std::vector<std::string>{"BaseFilter"});
    }
    SUBCASE("a huge count ends at the end of the file")
    {
        std::string file = "KV10" + le_u32(0xFFFFFFFF) + good.substr(8);
        CHECK(parse_list_file<WordFilter>(file, reporter).size() == 2);
    }
    SUBCASE("a text ends at its first zero unit; the limit is 131070")
    {
        std::string file = "KV10" + le_u32(1) + le_u32(6) + bytes({'a', 0, 0, 0, 'c', 0}) + bytes({1, 0}) + le_u32(0);
        auto entries = parse_list_file<WordFilter>(file, reporter);
        REQUIRE(entries.size() == 1);
        CHECK(entries[0].text == "a");

        std::string longest(kMaxTextRecordChars, 'y');
        auto back = parse_list_file<WordFilter>(format_list_file(std::vector<WordFilter>{word(longest)}), reporter);
        REQUIRE(back.size() == 1);
        CHECK(back[0].text == longest);
        CHECK(reporter.messages.empty());
    }
}

TEST_CASE("list file: a text too long for a record is cut, so the file stays readable")
{
    RecordingReporter reporter;
    std::vector<WordFilter> words = {word(std::string(kMaxTextRecordChars + 10, 'z')), word("after")};
    auto back = parse_list_file<WordFilter>(format_list_file(words), reporter);
    REQUIRE(back.size() == 2);
    CHECK(back[0].text.size() == kMaxTextRecordChars);
    CHECK(back[1].text == "after");
}

TEST_CASE("list file on disk: a failed save leaves the old file whole")
{
    TempDir dir;
    RecordingReporter reporter;
    std::string path = dir.file("from.dat");
    REQUIRE(save_list_file(path, std::vector<WordFilter>{word("old")}, reporter));
    std::string before = kivo::test::read_file(path);

    // The temporary file beside it cannot be made.
    std::filesystem::create_directory(path + ".tmp");
    CHECK_FALSE(save_list_file(path, std::vector<WordFilter>{word("new"), word("more")}, reporter));
    CHECK(kivo::test::read_file(path) == before);
    CHECK(reporter.failed_files == std::vector<std::string>{path});

    std::filesystem::remove(path + ".tmp");
    CHECK(save_list_file(path, std::vector<WordFilter>{word("new")}, reporter));
    auto back = load_list_file<WordFilter>(path, reporter);
    REQUIRE(back.size() == 1);
    CHECK(back[0].text == "new");
    CHECK(load_list_file<WordFilter>(dir.file("missing.dat"), reporter).empty());
}

TEST_CASE("address file: lines, empty lines, last line without line end, duplicates")
{
    auto addresses = parse_address_file("a@x.com\r\n\r\n b@y.com \r\nc@z.com\nc@z.com\r\nlast@w.com");
    CHECK(addresses == std::vector<std::string>{"a@x.com", " b@y.com ", "c@z.com", "c@z.com", "last@w.com"});
    CHECK(address_keys(addresses).size() == 4);

    // Long lines come back whole (the edit dialogs allow 260 characters).
    std::string long_address(300, 'q');
    CHECK(parse_address_file(format_address_file({long_address, "", "x"})) ==
          std::vector<std::string>{long_address, "x"});
    CHECK(format_address_file({"a", "", "b"}) == "a\r\nb\r\n");
}

TEST_CASE("address file: append keeps lines apart and a failed append changes nothing")
{
    TempDir dir;
    RecordingReporter reporter;
    std::string path = dir.file("friends.dat");

    CHECK(AppendAddress(path, "first@x.com", reporter));
    CHECK(kivo::test::read_file(path) == "first@x.com\r\n");

    // Written by hand without a final line end: the next address gets its own line.
    {
        std::string unterminated = "first@x.com\r\nsecond@x.com";
        REQUIRE(replace_file(path, unterminated, reporter));
    }
    CHECK(AppendAddress(path, "third@x.com", reporter));
    CHECK(ReadAddresses(path) == std::vector<std::string>{"first@x.com", "second@x.com", "third@x.com"});

    std::string before = kivo::test::read_file(path);
    std::filesystem::create_directory(path + ".tmp");
    CHECK_FALSE(AppendAddress(path, "fourth@x.com", reporter));
    CHECK(kivo::test::read_file(path) == before);
    CHECK(reporter.failed_files.size() == 1);

    CHECK(SaveAddresses(dir.file("spammers.dat"), {"s@x.com", "t@x.com"}, reporter));
    CHECK(kivo::test::read_file(dir.file("spammers.dat")) == "s@x.com\r\nt@x.com\r\n");
}
