#include "filter_dialogs/entry_rules.h"

#include <iterator>

#include "appcore/help_topics.h"

namespace kivo::filter_dialogs {

std::optional<std::int32_t> parse_kb(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > kMaxKb)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

namespace {

bool field_valid(const BoundField& field)
{
    return !field.checked || parse_kb(field.text).has_value();
}

}  // namespace

bool bounds_usable(const BoundField& larger, const BoundField& smaller)
{
    if (larger.checked && parse_kb(larger.text))
        return true;
    if (smaller.checked) {
        auto kb = parse_kb(smaller.text);
        return kb && *kb > 0;
    }
    return false;
}

bool bounds_acceptable(const BoundField& larger, const BoundField& smaller, bool need_bound)
{
    if (!field_valid(larger) || !field_valid(smaller))
        return false;
    return !need_bound || bounds_usable(larger, smaller);
}

Bounds bounds_from(const BoundField& larger, const BoundField& smaller)
{
    Bounds bounds;
    if (larger.checked)
        if (auto kb = parse_kb(larger.text))
            bounds.upper = *kb * 1024;
    if (smaller.checked)
        if (auto kb = parse_kb(smaller.text))
            bounds.lower = *kb * 1024;
    return bounds;
}

std::string kb_text(std::int32_t bytes)
{
    return bytes < 0 ? std::string() : std::to_string(bytes / 1024);
}

int priority_index(std::int32_t priority)
{
    if (priority < 3)
        return 0;
    return priority == 3 ? 1 : 2;
}

std::int32_t priority_from_index(int index)
{
    return index >= 0 && index <= 2 ? index * 2 + 1 : 3;
}

const char* help_topic_for_tab(int tab)
{
    constexpr int count = static_cast<int>(std::size(help::kFilterTabs));
    return tab >= 0 && tab < count ? help::kFilterTabs[tab] : nullptr;
}

}  // namespace kivo::filter_dialogs
