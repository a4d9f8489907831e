#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

// The preview's header area: "From: <name> To: <name>" on the first line
// (each address cut before its first "<"), "Subject: ..." on the second.
// The titles come from the caller (the column titles).
std::string preview_header_text(const std::string& from_title, const std::string& from,
                                const std::string& to_title, const std::string& to,
                                const std::string& subject_title, const std::string& subject);

// The "Mailbox size" column: a 64-bit byte count (a mailbox may hold more
// than 4 GB) as "%1 Bytes", "%1 KB", "%1 MB" or "%1 GB".
std::string mailbox_size_text(std::int64_t bytes, const std::string& decimal_separator);
std::string mailbox_size_text(std::int64_t bytes);

// The Columns dialog's width field: the whole text must be a number from
// kMinColumnWidth to kMaxColumnWidth (spaces around it allowed); anything
// else, a pasted huge number included, is no width.
constexpr int kMinColumnWidth = 0;
constexpr int kMaxColumnWidth = 10000;
std::optional<int> parse_column_width(const std::string& text);

}  // namespace kivo
