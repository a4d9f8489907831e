#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "filter/error_reporter.h"
#include "filter/size_filter.h"
#include "filter/word_filter.h"

namespace kivo::filter {

inline constexpr const char* kFromFileName = "from.dat";
inline constexpr const char* kSubjectFileName = "subject.dat";
inline constexpr const char* kToCcFileName = "to.dat";
inline constexpr const char* kSizeFileName = "size.dat";

// A list file: "KV10", u32 count, then the entries' records.
template <class Entry>
std::string format_list_file(const std::vector<Entry>& entries);

// Reads the entries of a list file's bytes. Wrong magic gives an empty list
// silently; a damaged entry ends the load, keeping the entries before it; a
// text record above the size limit is reported as an unexpected error in
// BaseFilter.
template <class Entry>
std::vector<Entry> parse_list_file(std::string_view bytes, ErrorReporter& reporter);

// The file in a folder (with its trailing separator). A missing or
// unreadable file gives an empty list, silently.
template <class Entry>
std::vector<Entry> load_list_file(const std::string& path, ErrorReporter& reporter);

// Writes the whole file through a temporary file; a failure is reported and
// leaves the old file whole.
template <class Entry>
bool save_list_file(const std::string& path, const std::vector<Entry>& entries, ErrorReporter& reporter);

extern template std::string format_list_file(const std::vector<WordFilter>&);
extern template std::string format_list_file(const std::vector<SizeFilter>&);
extern template std::vector<WordFilter> parse_list_file(std::string_view, ErrorReporter&);
extern template std::vector<SizeFilter> parse_list_file(std::string_view, ErrorReporter&);
extern template std::vector<WordFilter> load_list_file(const std::string&, ErrorReporter&);
extern template std::vector<SizeFilter> load_list_file(const std::string&, ErrorReporter&);
extern template bool save_list_file(const std::string&, const std::vector<WordFilter>&, ErrorReporter&);
extern template bool save_list_file(const std::string&, const std::vector<SizeFilter>&, ErrorReporter&);

}  // namespace kivo::filter
