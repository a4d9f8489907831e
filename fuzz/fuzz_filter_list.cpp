// The list files (from.dat, subject.dat, to.dat, size.dat): any bytes load
// without harm, and what loads writes back to a file that loads the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "filter/list_file.h"

namespace {

struct QuietReporter : kivo::filter::ErrorReporter {
    void report_message(std::uint32_t, const std::vector<std::string>&) override {}
    void report_system_error(const std::string&, unsigned) override {}
};

template <class Entry>
void round_trip(std::string_view bytes)
{
    QuietReporter reporter;
    auto entries = kivo::filter::parse_list_file<Entry>(bytes, reporter);
    std::string written = kivo::filter::format_list_file(entries);
    if (kivo::filter::parse_list_file<Entry>(written, reporter) != entries)
        __builtin_trap();
    if (kivo::filter::format_list_file(entries) != written)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    round_trip<kivo::filter::WordFilter>(bytes);
    round_trip<kivo::filter::SizeFilter>(bytes);
    return 0;
}
