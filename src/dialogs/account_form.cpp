#include "dialogs/account_form.h"

#include "engine/account.h"
#include "message_ids.h"
#include "platform/program_folder.h"
#include "platform/text.h"

namespace kivo {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::uint32_t normal_mode(std::uint32_t mode)
{
    return mode == MSG_DELETION_CONFIRM || mode == MSG_DELETION_NEVER ? mode : MSG_DELETION_AUTOMATIC;
}

}  // namespace

AccountSettings settings_of(const Account& account)
{
    AccountSettings s;
    s.name = account.name();
    s.host = account.server().host();
    s.user = account.server().user();
    s.password = account.server().password();
    s.port = account.port();
    s.check_interval = account.check_interval();
    s.timeout = account.timeout();
    s.preview_lines = account.preview_lines();
    s.deletion_mode = account.deletion_mode();
    s.secure_auth = account.secure_auth();
    s.check_mailbox_size = account.check_mailbox_size();
    s.mailbox_bound = account.mailbox_bound();
    s.launch_file = account.launch_file();
    s.sound_file = account.sound_file();
    s.security = account.security();
    s.trusted_fingerprint = account.trusted_fingerprint();
    return s;
}

void apply_settings(Account& account, const AccountSettings& s)
{
    account.set_name(s.name);
    account.set_server(Url("pop3", s.user, s.password, s.host, "/"));
    account.set_port(s.port);
    account.set_check_interval(s.check_interval);
    account.set_timeout(s.timeout);
    account.set_preview_lines(s.preview_lines);
    account.set_deletion_mode(normal_mode(s.deletion_mode));
    account.set_secure_auth(s.secure_auth);
    account.set_check_mailbox_size(s.check_mailbox_size);
    account.set_mailbox_bound(s.mailbox_bound);
    account.set_launch_file(s.launch_file);
    if (!s.sound_file.empty())
        account.set_sound_file(s.sound_file);
    account.set_security(s.security);
    account.set_trusted_fingerprint(s.trusted_fingerprint);
}

std::string port_for_security(const std::string& port, Account::Security security)
{
    std::string_view typed = trimmed(port);
    if (security == Account::Security::tls && typed == "110")
        return "995";
    if (security != Account::Security::tls && typed == "995")
        return "110";
    return port;
}

std::string grouped_fingerprint(const std::string& hex)
{
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 16) {
        if (!out.empty())
            out += ' ';
        out += hex.substr(i, 16);
    }
    return out;
}

std::optional<std::int64_t> parse_whole_number(std::string_view text, std::int64_t max)
{
    text = trimmed(text);
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > max)  // stops before the product could overflow
            return std::nullopt;
    }
    return value;
}

std::uint32_t name_problem(std::string_view name, const std::vector<std::string>& others)
{
    if (name.find('\\') != std::string_view::npos)
        return MSG_ACCOUNT_NAME_BACKSLASH;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20)
            return MSG_ACCOUNT_NAME_CONTROL;
    if (name.size() > kAccountNameLimit)
        return MSG_ACCOUNT_NAME_TOO_LONG;
    for (const std::string& other : others)
        if (platform::equal_no_case(other, name))
            return MSG_ACCOUNT_NAME_TAKEN;
    return 0;
}

std::uint32_t user_problem(std::string_view user)
{
    return user.find(':') != std::string_view::npos ? MSG_ACCOUNT_USER_COLON : 0;
}

std::uint32_t host_problem(std::string_view host)
{
    return host.find_first_of(":/@") != std::string_view::npos ? MSG_ACCOUNT_HOST_CHARS : 0;
}

namespace {

struct Parsed {
    AccountFormVerdict verdict;
    std::int64_t port = 0, interval = 0, timeout = 0, lines = 0, kb = 0;
};

Parsed parse(const AccountFormTexts& t, const std::vector<std::string>& others)
{
    Parsed p;
    AccountFormVerdict& v = p.verdict;
    bool empty = t.name.empty() || t.host.empty() || t.user.empty() || t.password.empty() || t.port.empty() ||
                 t.interval.empty() || t.timeout.empty() || t.preview_lines.empty();
    // The first problem in the dialog's order is the one named.
    auto problem = [&](std::uint32_t id) {
        if (v.problem == 0)
            v.problem = id;
    };
    if (!t.name.empty())
        problem(name_problem(t.name, others));
    if (!t.host.empty())
        problem(host_problem(t.host));
    if (!t.user.empty())
        problem(user_problem(t.user));
    auto number = [&](const std::string& text, std::int64_t min, std::int64_t max, std::uint32_t id,
                      std::int64_t& out) {
        if (text.empty())
            return;
        std::optional<std::int64_t> n = parse_whole_number(text, max);
        if (!n || *n < min)
            problem(id);
        else
            out = *n;
    };
    constexpr std::int64_t kIntMax = 0x7FFFFFFF;
    number(t.port, 1, 65535, MSG_ACCOUNT_PORT_RANGE, p.port);
    number(t.interval, 1, kIntMax, MSG_ACCOUNT_INTERVAL_RANGE, p.interval);
    number(t.timeout, 1, kIntMax, MSG_ACCOUNT_TIMEOUT_RANGE, p.timeout);
    number(t.preview_lines, 0, kIntMax, MSG_ACCOUNT_LINES_RANGE, p.lines);
    bool launch_missing = false;
    if (t.check_mailbox_size) {
        // An empty KB field would silently mean 0, that is "any mailbox".
        if (t.mailbox_kb.empty())
            problem(MSG_ACCOUNT_KB_RANGE);
        else
            number(t.mailbox_kb, 0, kMailboxKbLimit, MSG_ACCOUNT_KB_RANGE, p.kb);
        launch_missing = t.launch_file.empty();
    }
    v.ok_enabled = !empty && v.problem == 0 && !launch_missing;
    v.test_enabled = t.check_mailbox_size && !t.launch_file.empty();
    return p;
}

}  // namespace

AccountFormVerdict judge(const AccountFormTexts& texts, const std::vector<std::string>& other_names)
{
    return parse(texts, other_names).verdict;
}

std::optional<AccountSettings> read_form(const AccountFormTexts& t, const std::vector<std::string>& others,
                                         const AccountSettings& base)
{
    Parsed p = parse(t, others);
    if (!p.verdict.ok_enabled)
        return std::nullopt;
    AccountSettings s = base;
    s.name = t.name;
    s.host = t.host;
    s.user = t.user;
    s.password = t.password;
    s.port = static_cast<std::int32_t>(p.port);
    s.check_interval = static_cast<std::int32_t>(p.interval);
    s.timeout = static_cast<std::int32_t>(p.timeout);
    s.preview_lines = static_cast<std::int32_t>(p.lines);
    s.check_mailbox_size = t.check_mailbox_size;
    if (t.check_mailbox_size) {
        s.launch_file = t.launch_file;
        s.mailbox_bound = static_cast<std::int32_t>(p.kb * 1024);
    } else {
        s.launch_file.clear();
        s.mailbox_bound = 0;
    }
    return s;
}

AccountFormTexts form_of(const AccountSettings& s)
{
    AccountFormTexts t;
    t.name = s.name;
    t.host = s.host;
    t.user = s.user;
    t.password = s.password;
    t.port = std::to_string(s.port);
    t.interval = std::to_string(s.check_interval);
    t.timeout = std::to_string(s.timeout);
    t.preview_lines = std::to_string(s.preview_lines);
    t.check_mailbox_size = s.check_mailbox_size;
    t.mailbox_kb = std::to_string(s.mailbox_bound / 1024);
    t.launch_file = s.launch_file;
    return t;
}

}  // namespace kivo
