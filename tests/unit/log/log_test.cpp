#include <doctest/doctest.h>

#include <thread>
#include <vector>

#include "log/log.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

using kivo::Log;
using kivo::platform::LocalTime;

namespace {

// 5 March 2026, 14:07:09, whatever the real clock says.
bool fixed_time(LocalTime& t)
{
    t = {2026, 3, 5, 14, 7, 9};
    return true;
}

}  // namespace

TEST_CASE("log: a line is the time stamp, the message and a line feed")
{
    Log log;
    log.set_time_source(fixed_time);
    log.write_line("Lookup: account=%s", "home");
    REQUIRE(log.recent_lines().size() == 1);
    CHECK(log.recent_lines()[0] == "05.03.2026 14.07.09 Lookup: account=home\n");

    // A caller's own line feed gives a second one.
    log.write_line("Error in Account::account_thread_core.\n");
    CHECK(log.recent_lines()[1] == "05.03.2026 14.07.09 Error in Account::account_thread_core.\n\n");
}

TEST_CASE("log: long messages are cut to 259 characters without a line feed")
{
    Log log;
    log.set_time_source(fixed_time);
    std::string message(1000, 'x');
    log.write_line("%s", message.c_str());
    std::string line = log.recent_lines().at(0);
    CHECK(line.size() == 259);
    CHECK(line.back() == 'x');

    // 239 message characters plus 20 of time stamp end exactly at the limit:
    // the line feed is the character that is cut.
    log.write_line("%s", std::string(239, 'y').c_str());
    CHECK(log.recent_lines().at(1).size() == 259);
    CHECK(log.recent_lines().at(1).back() == 'y');
    log.write_line("%s", std::string(238, 'z').c_str());
    CHECK(log.recent_lines().at(2).size() == 259);
    CHECK(log.recent_lines().at(2).back() == '\n');

    // Messages beyond the 8192-byte format buffer are cut, not overrun.
    std::string huge(20000, 'h');
    log.write_line("%s%s", huge.c_str(), huge.c_str());
    CHECK(log.recent_lines().at(3).size() == 259);
}

TEST_CASE("log: without a local time nothing is stored")
{
    Log log;
    log.set_time_source([](LocalTime&) { return false; });
    log.write_line("lost");
    CHECK(log.recent_lines().empty());
}

TEST_CASE("log: the ring keeps the last lines, oldest first")
{
    Log log;
    log.set_time_source(fixed_time);
    for (int i = 1; i <= 301; ++i)
        log.write_line("line %d", i);
    auto lines = log.recent_lines();
    REQUIRE(lines.size() == 300);
    CHECK(lines.front() == "05.03.2026 14.07.09 line 2\n");
    CHECK(lines.back() == "05.03.2026 14.07.09 line 301\n");

    SUBCASE("a capacity below 1 keeps one line")
    {
        log.set_capacity(0);
        log.write_line("only");
        REQUIRE(log.recent_lines().size() == 1);
        CHECK(log.recent_lines()[0] == "05.03.2026 14.07.09 only\n");
    }
    SUBCASE("a smaller capacity drops the oldest lines at the next write")
    {
        log.set_capacity(3);
        log.write_line("next");
        lines = log.recent_lines();
        REQUIRE(lines.size() == 3);
        CHECK(lines[0] == "05.03.2026 14.07.09 line 300\n");
        CHECK(lines[2] == "05.03.2026 14.07.09 next\n");
    }
}

TEST_CASE("log: the file name rules")
{
    kivo::test::TempProgramFolder program;
    Log log;
    CHECK(log.file_path() == program.dir.folder() + "kivo.log");
    log.set_log_file("mail.log");
    CHECK(log.file_path() == program.dir.folder() + "mail.log");
    log.set_log_file("");
    CHECK(log.file_path() == program.dir.folder() + "kivo.log");
    kivo::test::TempDir elsewhere;
    std::string full = elsewhere.file("other.log");
    log.set_log_file(full);
    CHECK(log.file_path() == full);
    log.set_log_file("logs/x.log");  // a slash makes it a path, taken as it stands
    CHECK(log.file_path() == "logs/x.log");
}

TEST_CASE("log: lines are appended to the file only when writing is on")
{
    kivo::test::TempProgramFolder program;
    Log log;
    log.set_time_source(fixed_time);
    std::string path = program.dir.file("kivo.log");

    log.write_line("not in the file");
    CHECK(kivo::test::read_file(path).empty());
    CHECK(log.recent_lines().size() == 1);  // the ring and the viewer still get it

    log.set_write_to_file(true);
    log.write_line("first %d", 1);
    log.write_line("second");
    CHECK(kivo::test::read_file(path) == "05.03.2026 14.07.09 first 1\n05.03.2026 14.07.09 second\n");

    // The file is not held open between lines: it can be removed and is made anew.
    std::filesystem::remove(path);
    log.write_line("third");
    CHECK(kivo::test::read_file(path) == "05.03.2026 14.07.09 third\n");

    SUBCASE("a file that cannot be opened only loses the line")
    {
        log.set_log_file(program.dir.file("no-such-dir/x.log"));
        log.write_line("lost in the file");
        CHECK(log.recent_lines().back() == "05.03.2026 14.07.09 lost in the file\n");
    }
}

TEST_CASE("log: concurrent writers never mix or lose lines")
{
    kivo::test::TempProgramFolder program;
    Log log;
    log.set_time_source(fixed_time);
    log.set_write_to_file(true);
    log.set_capacity(10000);
    constexpr int kThreads = 4;
    constexpr int kLines = 250;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&log, t] {
            for (int i = 0; i < kLines; ++i)
                log.write_line("thread %d line %03d", t, i);
        });
    for (auto& th : threads)
        th.join();

    auto lines = log.recent_lines();
    CHECK(lines.size() == kThreads * kLines);
    std::string file = kivo::test::read_file(program.dir.file("kivo.log"));
    std::size_t count = 0;
    std::size_t pos = 0;
    int next[kThreads] = {};
    while ((pos = file.find('\n', pos)) != std::string::npos) {
        std::size_t start = file.rfind('\n', pos - 1);
        std::string line = file.substr(start == std::string::npos ? 0 : start + 1,
                                       pos - (start == std::string::npos ? 0 : start + 1));
        int t = -1, i = -1;
        REQUIRE(std::sscanf(line.c_str(), "05.03.2026 14.07.09 thread %d line %d", &t, &i) == 2);
        REQUIRE((t >= 0 && t < kThreads));
        CHECK(i == next[t]++);  // each thread's lines in its own order
        ++count;
        ++pos;
    }
    CHECK(count == kThreads * kLines);
}
