// Classify over a synthetic mailbox with a full filter set: 100 entries in
// each word list (From, Subject, To/Cc), 20 size ranges and 50 power filters.
// Almost no message is caught by a list, so most runs go through every
// stage: this is the cost an account thread pays per message.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "filter/email_filter.h"
#include "filter/list_file.h"
#include "filter/power_file.h"
#include "message/message.h"

namespace {

using namespace kivo::filter;

std::vector<kivo::Message> mailbox(int count)
{
    std::vector<kivo::Message> messages;
    messages.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        kivo::Lines lines = {
            "From: Sender " + n + " <sender" + n + "@example" + std::to_string(i % 37) + ".com>",
            "To: Me <me@home.example>, other" + n + "@example.org",
            "Cc: team" + std::to_string(i % 5) + "@work.example",
            "Subject: Weekly report number " + n + " about the quarterly figures",
            "Date: Tue, 3 Mar 2026 10:00:00 +0300",
            "Message-ID: <" + n + ".bench@example.com>",
            "X-Priority: " + std::to_string(1 + i % 5),
            "",
        };
        for (int b = 0; b < 20; ++b)
            lines.push_back("Body line " + std::to_string(b) + " of message " + n + ", nothing to see here.");
        messages.emplace_back(lines, 2000 + (i * 7919) % 90000);
    }
    return messages;
}

// Writes the filter files into a fresh folder and builds the filter set over it.
class Fixture {
public:
    Fixture()
    {
        folder_ = std::filesystem::temp_directory_path() / ("kivo-filter-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(folder_);
        std::string dir = (folder_ / "").string();
        ErrorReporter& quiet = log_error_reporter();
        std::vector<WordFilter> from, subject, to_cc;
        for (int i = 0; i < 100; ++i) {
            from.emplace_back("spammer" + std::to_string(i) + "@bulk.example");
            subject.emplace_back("Buy cheap item " + std::to_string(i));
            to_cc.emplace_back("me" + std::to_string(i) + "@nowhere.example; mine" + std::to_string(i) + "@x.example");
        }
        to_cc.back().text = "me@home.example";  // the one entry that keeps To/Cc from matching
        std::vector<SizeFilter> sizes(20);
        for (int i = 0; i < 20; ++i)
            sizes[static_cast<std::size_t>(i)].upperBound = 10000000 + i;
        std::vector<PowerFilter> power(50);
        for (int i = 0; i < 50; ++i) {
            PowerFilter& p = power[static_cast<std::size_t>(i)];
            p.name = "Power " + std::to_string(i);
            p.fromEnabled = p.subjectEnabled = p.bodyEnabled = true;
            p.from = "boss" + std::to_string(i) + "@work.example";
            p.subject = "urgent";
            p.body = "invoice";
            p.toCcEnabled = i % 2 == 0;
            p.toCc = "a@x.example b@y.example; c@z.example";
        }
        save_list_file(dir + kFromFileName, from, quiet);
        save_list_file(dir + kSubjectFileName, subject, quiet);
        save_list_file(dir + kToCcFileName, to_cc, quiet);
        save_list_file(dir + kSizeFileName, sizes, quiet);
        SavePowerFilters(dir, power, quiet);
        EmailFilterConfig config;
        config.folder = dir;
        config.useRegistry = false;
        filter = std::make_unique<EmailFilter>(actions, quiet, config);
    }
    ~Fixture()
    {
        filter.reset();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    NoFilterActions actions;
    std::unique_ptr<EmailFilter> filter;

private:
    std::filesystem::path folder_;
};

void BM_Classify(benchmark::State& state)
{
    Fixture fixture;
    std::vector<kivo::Message> messages = mailbox(1000);
    std::size_t next = 0;
    for (auto _ : state) {
        kivo::Message& m = messages[next];
        benchmark::DoNotOptimize(fixture.filter->Classify(m));
        next = (next + 1) % messages.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_Classify);

}  // namespace

BENCHMARK_MAIN();
