#include "filter/power_filter.h"

#include <vector>

#include "filter/text_match.h"
#include "message/message.h"

namespace kivo::filter {

namespace {

// ToCc patterns: cut at every blank and ";", no empty tokens.
std::vector<std::string_view> to_cc_tokens(std::string_view text)
{
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t start = text.find_first_not_of(" ;", pos);
        if (start == std::string_view::npos)
            break;
        std::size_t end = text.find_first_of(" ;", start);
        if (end == std::string_view::npos)
            end = text.size();
        tokens.push_back(text.substr(start, end - start));
        pos = end;
    }
    return tokens;
}

bool to_cc_condition(const PowerFilter& f, const Message& m)
{
    std::vector<std::string_view> tokens = to_cc_tokens(f.toCc);
    if (tokens.empty())
        return false;
    bool result = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        bool hit = Match(m.to(), f.toCcCondition, tokens[i], f.toCcCase) ||
                   Match(m.cc(), f.toCcCondition, tokens[i], f.toCcCase);
        if (i == 0)
            result = hit;
        else if (f.toCcCondition == kContains)
            result = result || hit;
        else
            result = result && hit;
    }
    return result;
}

bool attach_condition(const PowerFilter& f, const Message& m)
{
    if (!m.has_attachment())
        return false;
    for (const std::string& name : m.attachment_names())
        if (Match(name, f.attachCondition, f.attach, f.attachCase))
            return true;
    return false;
}

}  // namespace

PowerMark PowerFilter::mark() const
{
    if (friendly)
        return PowerMark::friendly;
    return uncertain ? PowerMark::uncertain : PowerMark::deleted;
}

void PowerFilter::set_mark(PowerMark mark)
{
    friendly = mark == PowerMark::friendly;
    uncertain = mark == PowerMark::uncertain;
}

bool PowerFilter::Evaluate(const Message& m) const
{
    bool any_condition = false;
    bool all_conditions = true;
    auto take = [&](bool enabled, auto&& test) {
        if (!enabled)
            return;
        any_condition = true;
        if (all_conditions && !test())
            all_conditions = false;
    };
    take(fromEnabled, [&] { return Match(m.from(), fromCondition, from, fromCase); });
    take(subjectEnabled, [&] { return Match(m.subject(), subjectCondition, subject, subjectCase); });
    take(toCcEnabled, [&] { return to_cc_condition(*this, m); });
    take(attachEnabled, [&] { return attach_condition(*this, m); });
    take(bodyEnabled, [&] { return Match(m.body_text(), bodyCondition, body, bodyCase); });
    take(headerEnabled, [&] { return Match(m.header_text(), headerCondition, header, headerCase); });
    take(priorityEnabled, [&] { return m.priority() == priority; });

    bool size_set = any_bound_set();
    if (size_set && any_condition)
        return size_hit(m.size()) && all_conditions;
    if (any_condition)
        return all_conditions;
    if (size_set)
        return size_hit(m.size());
    return false;
}

}  // namespace kivo::filter
