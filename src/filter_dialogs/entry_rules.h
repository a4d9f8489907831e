#pragma once
// What the editing dialogs decide, without a window: the KB fields, when OK
// may be pressed, what a size range stores, and the sheet's help topics.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kivo::filter_dialogs {

// The largest KB value a field takes: times 1024 it still fits a signed
// 32-bit byte count, so a bound can never wrap to a small or negative one.
inline constexpr std::int32_t kMaxKb = 2097151;

// A field's text as whole KB, 0 to kMaxKb: digits only, nothing else (no
// blanks, signs or separators); none otherwise.
std::optional<std::int32_t> parse_kb(const std::string& text);

// One of the two bound fields as the user left it.
struct BoundField {
    bool checked = false;
    std::string text;
};

// Whether the two fields can be stored: every checked field holds a valid
// KB value, and at least one of them is a usable bound ("Smaller than" 0 is
// none) when `need_bound`.
bool bounds_acceptable(const BoundField& larger, const BoundField& smaller, bool need_bound);
// Whether the fields give at least one usable bound.
bool bounds_usable(const BoundField& larger, const BoundField& smaller);

// The stored bounds in bytes (-1 for an unchecked field).
struct Bounds {
    std::int32_t upper = -1;  // "Larger than"
    std::int32_t lower = -1;  // "Smaller than"
};
Bounds bounds_from(const BoundField& larger, const BoundField& smaller);
// A bound as whole KB for a field; empty when unset.
std::string kb_text(std::int32_t bytes);

// The priority combo: High, Normal, Low.
int priority_index(std::int32_t priority);
std::int32_t priority_from_index(int index);

// The help topic of a tab of the sheet (Power, Friends, From, Subject,
// To/Cc, Spammers, Size), or null when it has none.
const char* help_topic_for_tab(int tab);

// The sample query the URL "Test" button sends after the edit's URL.
inline constexpr char kUrlTestQuery[] =
    "?to=recipient@example.com&cc=copy@example.com&bcc=blind-copy@example.com"
    "&subject=TestSubject&emailbody=TestMessageBody";

}  // namespace kivo::filter_dialogs
