// Message construction over a synthetic mailbox. The argument scales each
// message (header lines and body lines alike): messages/s falling by about
// the scale factor while MB/s holds steady shows construction is linear.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "message/message.h"

namespace {

using kivo::Lines;

Lines synthetic_message(int index, int scale)
{
    const std::string n = std::to_string(index);
    Lines l;
    for (int r = 0; r < 4 * scale; ++r) {
        l.push_back("Received: from relay" + std::to_string(r) + ".example.net (relay.example.net [10.0.0." +
                    std::to_string(r % 250) + "])");
        l.push_back("\tby mx.example.com with ESMTP id " + n + "." + std::to_string(r) + ";");
        l.push_back("\tTue, 3 Mar 2026 10:00:00 +0300");
    }
    l.push_back("From: =?koi8-r?B?8NLJ18XU?= =?utf-8?Q?Ivan_Petrov?= <ivan" + n + "@example.ru>");
    l.push_back("To: Anna <anna@example.com>, =?iso-8859-1?Q?Ren=E9?= <rene@example.com>");
    l.push_back("Cc: one@example.com,");
    for (int c = 0; c < 2 * scale; ++c)
        l.push_back(" copy" + std::to_string(c) + "@example.com,");
    l.push_back(" last@example.com");
    l.push_back("Subject: =?utf-8?B?UmVwb3J0IGZvciBNYXJjaA==?=");
    l.push_back(" =?koi8-r?Q?=F0=D2=C9=D7=C5=D4?= number " + n);
    l.push_back("Date: Tue, 3 Mar 2026 10:00:00 +0300");
    l.push_back("Message-ID: <" + n + ".bench@example.ru>");
    l.push_back("X-Priority: 3 (Normal)");
    l.push_back("MIME-Version: 1.0");
    l.push_back("Content-Type: multipart/mixed;");
    l.push_back("\tboundary=\"----=_Part_" + n + "\"");
    l.push_back("");

    const std::string outer = "------=_Part_" + n;
    const std::string inner = "----=_Alt_" + n;
    l.push_back(outer);
    l.push_back("Content-Type: multipart/alternative; boundary=\"" + inner + "\"");
    l.push_back("");
    l.push_back("--" + inner);
    l.push_back("Content-Type: text/plain; charset=utf-8");
    l.push_back("");
    const int text_lines = 99 * scale - 18;  // the whole body is 99 lines at scale 1
    for (int b = 0; b < text_lines; ++b)
        l.push_back("Line " + std::to_string(b) + " of the report: figures, remarks and a few more words.");
    l.push_back("--" + inner + "--");
    for (int a = 0; a < 2; ++a) {
        l.push_back(outer);
        l.push_back("Content-Type: application/pdf; name=\"part" + std::to_string(a) + ".pdf\"");
        l.push_back("Content-Transfer-Encoding: base64");
        l.push_back("Content-Disposition: attachment;");
        l.push_back("\tfilename=\"=?utf-8?Q?report_" + std::to_string(a) + ".pdf?=\"");
        l.push_back("");
        l.push_back("JVBERi0xLjQKJcOkw7zDtsOfCjIgMCBvYmoKPDwvTGVuZ3RoIDMgMCBSL0ZpbHRlci9GbGF0ZURl");
    }
    return l;
}

void BM_MessageConstruction(benchmark::State& state)
{
    const int scale = static_cast<int>(state.range(0));
    constexpr int kMailbox = 50;
    std::vector<Lines> mailbox;
    std::size_t bytes = 0;
    for (int i = 0; i < kMailbox; ++i) {
        mailbox.push_back(synthetic_message(i, scale));
        for (const auto& line : mailbox.back())
            bytes += line.size() + 2;  // as received, with CR LF
    }
    for (auto _ : state) {
        for (const auto& lines : mailbox) {
            kivo::Message message(lines, static_cast<std::int32_t>(bytes / kMailbox));
            benchmark::DoNotOptimize(message.key());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
    state.counters["messages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kMailbox, benchmark::Counter::kIsRate);
    state.counters["lines/message"] = static_cast<double>(mailbox.front().size());
}

BENCHMARK(BM_MessageConstruction)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
