#include <doctest/doctest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "filter/email_filter.h"
#include "filter/filter_lock.h"
#include "filter/list_file.h"
#include "support/eventually.h"
#include "support/filter_fakes.h"
#include "support/temp_dir.h"

using namespace kivo::filter;
using kivo::Message;
using kivo::test::make_message;
using kivo::test::RecordingActions;
using kivo::test::RecordingReporter;
using kivo::test::TempDir;

TEST_CASE("filter lock: readers share, a writer excludes, failures leave it as it was")
{
    FilterLock lock(20);
    REQUIRE(lock.enter_reader());
    REQUIRE(lock.enter_reader());
    CHECK(lock.readers() == 2);
    CHECK_FALSE(lock.enter_writer());  // times out while readers are in
    lock.leave_reader();
    CHECK_FALSE(lock.enter_writer());
    lock.leave_reader();
    CHECK(lock.readers() == 0);

    REQUIRE(lock.enter_writer());
    CHECK_FALSE(lock.enter_reader());  // times out while the writer is in
    CHECK(lock.readers() == 0);
    lock.leave_writer();
    CHECK(lock.enter_reader());
    lock.leave_reader();
    CHECK(lock.enter_writer());
    lock.leave_writer();
}

TEST_CASE("filter lock: while an editor holds it, messages stay unmarked; an edit waiting on a reader is dropped")
{
    TempDir dir;
    RecordingReporter reporter;
    RecordingActions actions;
    save_list_file(dir.file(kFromFileName), std::vector<WordFilter>{WordFilter("spam")}, reporter);
    EmailFilterConfig config;
    config.folder = dir.folder();
    config.useRegistry = false;
    config.lockTimeoutMs = 20;
    EmailFilter filter(actions, reporter, config);

    {
        WriterSection editing(filter.lock());
        REQUIRE(editing.held());
        Message m = make_message({"From: spam@x.com"});
        CHECK(filter.Classify(m) == ClassifyStage::skipped);
        CHECK_FALSE(m.uncertain());
    }
    {
        ReaderSection classifying(filter.lock());
        REQUIRE(classifying.held());
        CHECK_FALSE(filter.ApplyFromPage({WordFilter("other")}));
    }
    REQUIRE(filter.fromList().size() == 1);
    CHECK(filter.fromList()[0].text == "spam");
    CHECK(load_list_file<WordFilter>(dir.file(kFromFileName), reporter).size() == 1);

    Message m = make_message({"From: spam@x.com"});
    CHECK(filter.Classify(m) == ClassifyStage::from);
}

TEST_CASE("filter lock: readers and a writer contending never overlap")
{
    FilterLock lock(10000);
    std::atomic<int> inside_readers{0};
    std::atomic<int> inside_writers{0};
    std::atomic<int> overlaps{0};
    std::atomic<bool> stop{false};
    std::atomic<int> reads{0};
    std::atomic<int> writes{0};
    int shared_value = 0;  // written only under the writer side; tsan watches it

    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                if (!lock.enter_reader())
                    continue;
                inside_readers.fetch_add(1);
                if (inside_writers.load() != 0)
                    overlaps.fetch_add(1);
                volatile int seen = shared_value;
                (void)seen;
                inside_readers.fetch_sub(1);
                lock.leave_reader();
                reads.fetch_add(1);
            }
        });
    }
    std::thread writer([&] {
        for (int i = 0; i < 300; ++i) {
            if (!lock.enter_writer())
                continue;
            inside_writers.fetch_add(1);
            if (inside_readers.load() != 0)
                overlaps.fetch_add(1);
            ++shared_value;
            inside_writers.fetch_sub(1);
            lock.leave_writer();
            writes.fetch_add(1);
            std::this_thread::yield();
        }
    });
    writer.join();
    // Let the readers get a turn on a busy machine too (bounded).
    kivo::test::eventually([&] { return reads.load() >= 100; }, std::chrono::seconds(5));
    stop.store(true);
    for (auto& t : readers)
        t.join();
    CHECK(overlaps.load() == 0);
    CHECK(writes.load() > 0);
    CHECK(reads.load() > 0);
    CHECK(lock.readers() == 0);
}

TEST_CASE("filter lock: Classify on account threads while the window thread applies pages")
{
    TempDir dir;
    RecordingReporter reporter;
    RecordingActions actions;
    EmailFilterConfig config;
    config.folder = dir.folder();
    config.useRegistry = false;
    EmailFilter filter(actions, reporter, config);

    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> accounts;
    for (int t = 0; t < 2; ++t) {
        accounts.emplace_back([&] {
            while (!stop.load()) {
                Message m = make_message({"From: spam@x.com", "Subject: hello"});
                ClassifyStage stage = filter.Classify(m);
                // Either list state is fine; a half-replaced one is not.
                if (stage == ClassifyStage::from && !m.uncertain())
                    bad.fetch_add(1);
            }
        });
    }
    for (int i = 0; i < 40; ++i) {
        std::vector<WordFilter> list;
        for (int k = 0; k < 20; ++k)
            list.emplace_back(k == 19 && i % 2 ? "spam" : "word" + std::to_string(k));
        filter.ApplyFromPage(list);
    }
    stop.store(true);
    for (auto& t : accounts)
        t.join();
    CHECK(bad.load() == 0);
}
