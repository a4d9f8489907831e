#include "filter/power_file.h"

#include <climits>
#include <cstdint>

#include "filter/safe_file.h"
#include "filter/text_lines.h"
#include "log/log.h"

namespace kivo::filter {

namespace {

enum class Kind { name, enabled, flag, condition, number, text, friendly, question };

struct Key {
    const char* key;  // with its "="
    Kind kind;
    bool PowerFilter::*flag = nullptr;
    std::int32_t PowerFilter::*number = nullptr;
    std::string PowerFilter::*text = nullptr;
};

Key flag(const char* k, bool PowerFilter::*m) { return {k, Kind::flag, m, nullptr, nullptr}; }
Key condition(const char* k, std::int32_t PowerFilter::*m) { return {k, Kind::condition, nullptr, m, nullptr}; }
Key number(const char* k, std::int32_t PowerFilter::*m) { return {k, Kind::number, nullptr, m, nullptr}; }
Key text(const char* k, std::string PowerFilter::*m) { return {k, Kind::text, nullptr, nullptr, m}; }

// The 39 lines of one filter, in the order they are written and tried.
const std::vector<Key>& keys()
{
    static const std::vector<Key> table = {
        {"FilterName=", Kind::name},
        {"Enabled=", Kind::enabled},
        flag("FromEnabled=", &PowerFilter::fromEnabled),
        flag("SubjectEnabled=", &PowerFilter::subjectEnabled),
        flag("ToCcEnabled=", &PowerFilter::toCcEnabled),
        flag("PriorityEnabled=", &PowerFilter::priorityEnabled),
        flag("AttachEnabled=", &PowerFilter::attachEnabled),
        flag("BodyEnabled=", &PowerFilter::bodyEnabled),
        flag("HeaderEnabled=", &PowerFilter::headerEnabled),
        condition("FromCondition=", &PowerFilter::fromCondition),
        condition("SubjectCondition=", &PowerFilter::subjectCondition),
        condition("ToCcCondition=", &PowerFilter::toCcCondition),
        condition("AttachCondition=", &PowerFilter::attachCondition),
        condition("BodyCondition=", &PowerFilter::bodyCondition),
        condition("HeaderCondition=", &PowerFilter::headerCondition),
        number("Priority=", &PowerFilter::priority),
        text("From=", &PowerFilter::from),
        text("Subject=", &PowerFilter::subject),
        text("ToCc=", &PowerFilter::toCc),
        text("Attach=", &PowerFilter::attach),
        text("Body=", &PowerFilter::body),
        text("Header=", &PowerFilter::header),
        {"Friendly=", Kind::friendly},
        {"Question=", Kind::question},
        flag("RunMailer=", &PowerFilter::runMailer),
        flag("LaunchProgram=", &PowerFilter::launchProgram),
        text("LaunchProgramPath=", &PowerFilter::launchProgramPath),
        flag("PlaySound=", &PowerFilter::playSound),
        text("SoundFile=", &PowerFilter::soundFile),
        flag("SendMsgToURL=", &PowerFilter::sendMsgToUrl),
        text("URLForSending=", &PowerFilter::urlForSending),
        flag("FromCase=", &PowerFilter::fromCase),
        flag("SubjectCase=", &PowerFilter::subjectCase),
        flag("ToCcCase=", &PowerFilter::toCcCase),
        flag("AttachCase=", &PowerFilter::attachCase),
        flag("BodyCase=", &PowerFilter::bodyCase),
        flag("HeaderCase=", &PowerFilter::headerCase),
        number("UpperBound=", &PowerFilter::upperBound),
        number("LowerBound=", &PowerFilter::lowerBound),
    };
    return table;
}

const char* yes_no(bool value) { return value ? "yes" : "no"; }

// Decimal as the C library reads it: leading white space, a sign, digits up
// to the first non-digit; no digits give 0. Out-of-range values stop at the
// nearest 32-bit limit.
std::int32_t read_number(std::string_view value)
{
    std::size_t pos = 0;
    while (pos < value.size() && (value[pos] == ' ' || (value[pos] >= 9 && value[pos] <= 13)))
        ++pos;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-'))
        negative = value[pos++] == '-';
    std::int64_t n = 0;
    while (pos < value.size() && value[pos] >= '0' && value[pos] <= '9') {
        if (n <= INT32_MAX)
            n = n * 10 + (value[pos] - '0');
        ++pos;
    }
    if (negative)
        n = -n;
    if (n > INT32_MAX)
        return INT32_MAX;
    if (n < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(n);
}

void apply(const Key& key, std::string_view value, PowerFilter& f)
{
    bool yes = value == "yes";
    switch (key.kind) {
    case Kind::name:
        break;  // handled by the caller: it starts a filter
    case Kind::enabled:
        f.state = yes ? 0 : 1;
        break;
    case Kind::flag:
        f.*key.flag = yes;
        break;
    case Kind::condition:
        f.*key.number = read_number(value) != 0 ? 1 : 0;
        break;
    case Kind::number:
        f.*key.number = read_number(value);
        break;
    case Kind::text:
        f.*key.text = std::string(value);
        break;
    case Kind::friendly:
        f.set_mark(yes ? PowerMark::friendly : PowerMark::uncertain);
        break;
    case Kind::question:
        if (yes)
            f.set_mark(PowerMark::uncertain);
        else if (f.mark() != PowerMark::friendly)
            f.set_mark(PowerMark::deleted);
        break;
    }
}

void append_line(std::string& out, const char* key, std::string_view value)
{
    out += key;
    out += value;
    out += kLineEnd;
}

}  // namespace

std::string format_power_file(const std::vector<PowerFilter>& filters)
{
    std::string out;
    for (const PowerFilter& f : filters) {
        if (f.name.empty()) {
            app_log().write_line("A power filter without a name is not stored.\n");
            continue;
        }
        for (const Key& key : keys()) {
            switch (key.kind) {
            case Kind::name:
                append_line(out, key.key, f.name);
                break;
            case Kind::enabled:
                append_line(out, key.key, yes_no(f.state == 0));
                break;
            case Kind::flag:
                append_line(out, key.key, yes_no(f.*key.flag));
                break;
            case Kind::condition:
            case Kind::number:
                append_line(out, key.key, std::to_string(f.*key.number));
                break;
            case Kind::text:
                append_line(out, key.key, f.*key.text);
                break;
            case Kind::friendly:
                append_line(out, key.key, yes_no(f.friendly));
                break;
            case Kind::question:
                append_line(out, key.key, yes_no(f.uncertain));
                break;
            }
        }
    }
    return out;
}

std::vector<PowerFilter> parse_power_file(std::string_view bytes)
{
    std::vector<PowerFilter> filters;
    PowerFilter building;
    bool have = false;  // a filter is being built
    for (const std::string& line : split_text_lines(bytes)) {
        for (const Key& key : keys()) {
            std::string_view prefix(key.key);
            if (line.compare(0, prefix.size(), prefix) != 0)
                continue;
            std::string_view value = std::string_view(line).substr(prefix.size());
            if (key.kind == Kind::name) {
                if (have)
                    filters.push_back(building);
                have = !value.empty();
                building = PowerFilter();
                building.name = std::string(value);
            } else if (have) {
                apply(key, value, building);
            }
            break;
        }
    }
    if (have)
        filters.push_back(building);
    return filters;
}

std::vector<PowerFilter> LoadPowerFilters(const std::string& folder)
{
    std::string bytes;
    if (!read_whole_file(folder + kPowerFileName, bytes))
        return {};
    return parse_power_file(bytes);
}

bool SavePowerFilters(const std::string& folder, const std::vector<PowerFilter>& filters, ErrorReporter& reporter)
{
    return replace_file(folder + kPowerFileName, format_power_file(filters), reporter);
}

}  // namespace kivo::filter
