#include "filter/list_file.h"

#include "filter/safe_file.h"
#include "log/log.h"
#include "message_ids.h"

namespace kivo::filter {

namespace {
constexpr std::string_view kMagic = "KV10";
}

template <class Entry>
std::string format_list_file(const std::vector<Entry>& entries)
{
    ByteWriter out;
    out.put_bytes(kMagic);
    out.put_u32(static_cast<std::uint32_t>(entries.size()));
    for (const Entry& entry : entries)
        entry.Write(out);
    return out.bytes();
}

template <class Entry>
std::vector<Entry> parse_list_file(std::string_view bytes, ErrorReporter& reporter)
{
    std::vector<Entry> entries;
    ByteReader in(bytes);
    std::string_view magic;
    if (!in.get_bytes(kMagic.size(), magic) || magic != kMagic)
        return entries;
    std::uint32_t count = 0;
    if (!in.get_u32(count)) {
        app_log().write_line("A filter list file ends before its entry count.\n");
        return entries;
    }
    // Every entry takes some bytes, so a huge count ends at the file's end.
    for (std::uint32_t i = 0; i < count; ++i) {
        Entry entry;
        ReadStatus status = entry.Read(in, kListFileVersion);
        if (status == ReadStatus::text_too_long) {
            reporter.report_message(MSG_UNEXPECTED_ERROR_IN, {"BaseFilter"});
            break;
        }
        if (status != ReadStatus::ok) {
            app_log().write_line("A filter list file ends inside entry %u of %u.\n", i + 1, count);
            break;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

template <class Entry>
std::vector<Entry> load_list_file(const std::string& path, ErrorReporter& reporter)
{
    std::string bytes;
    if (!read_whole_file(path, bytes))
        return {};
    return parse_list_file<Entry>(bytes, reporter);
}

template <class Entry>
bool save_list_file(const std::string& path, const std::vector<Entry>& entries, ErrorReporter& reporter)
{
    return replace_file(path, format_list_file(entries), reporter);
}

template std::string format_list_file(const std::vector<WordFilter>&);
template std::string format_list_file(const std::vector<SizeFilter>&);
template std::vector<WordFilter> parse_list_file(std::string_view, ErrorReporter&);
template std::vector<SizeFilter> parse_list_file(std::string_view, ErrorReporter&);
template std::vector<WordFilter> load_list_file(const std::string&, ErrorReporter&);
template std::vector<SizeFilter> load_list_file(const std::string&, ErrorReporter&);
template bool save_list_file(const std::string&, const std::vector<WordFilter>&, ErrorReporter&);
template bool save_list_file(const std::string&, const std::vector<SizeFilter>&, ErrorReporter&);

}  // namespace kivo::filter
