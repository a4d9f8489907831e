#include "engine/account_file.h"

#include "engine/account.h"
#include "platform/byte_codec.h"
#include "platform/code_page.h"
#include "platform/file_replace.h"
#include "platform/message_text.h"
#include "platform/program_folder.h"
#include "platform/utf16_record.h"

namespace kivo {
namespace {

using platform::ByteReader;
using platform::ByteWriter;

// Bytes below 0x20 keep printable ASCII printable ASCII and never turn it
// into NUL, so the scrambled text converts to UTF-16 and back unchanged in
// any code page.
constexpr unsigned char kScrambleKey[4] = {0x13, 0x05, 0x1A, 0x0B};

// A string field of this many bytes or more is taken for a broken file.
constexpr std::uint32_t kStringFieldLimit = 0x1FFFF;

constexpr const char* kModule = "account_file.cpp";

void put_string(ByteWriter& out, std::string_view ansi)
{
    platform::put_utf16_record(out, platform::ansi_to_utf16(ansi));
}

// Zero units are kept: the text is what the units say, unlike in the filter
// lists, where the first zero ends it.
bool get_string(ByteReader& in, std::string& ansi)
{
    std::u16string units;
    if (platform::get_utf16_record(in, kStringFieldLimit - 1, units) != platform::RecordStatus::ok)
        return false;
    ansi = platform::utf16_to_ansi(units);
    return true;
}

}  // namespace

std::string scramble(std::string_view text)
{
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) ^ kScrambleKey[i % 4]);
    return out;
}

std::string accounts_file_path() { return platform::program_folder() + kAccountsFileName; }

void Account::write(ByteWriter& out) const
{
    put_string(out, name_);
    put_string(out, scramble(server_.url()));
    out.put_i32(port_);
    out.put_i32(check_interval_);
    out.put_i32(timeout_);
}

bool Account::read(ByteReader& in, std::string_view magic, std::string& error_text)
{
    std::string name;
    std::string server;
    std::int32_t port = 0;
    std::int32_t interval = 0;
    std::int32_t timeout = 0;
    if (!get_string(in, name) || !get_string(in, server) || !in.get_i32(port) || !in.get_i32(interval) ||
        !in.get_i32(timeout)) {
        error_text = platform::message_text(MSG_UNEXPECTED_ERROR_IN, {kModule});
        return false;
    }
    name_ = name;
    server_.SetUrl(magic == kAccountsMagic ? scramble(server) : server);
    port_ = port;
    check_interval_ = interval;
    timeout_ = timeout;
    return true;
}

bool save_accounts(const std::vector<const Account*>& accounts, std::string& error_text)
{
    ByteWriter out;
    out.put_bytes(kAccountsMagic);
    out.put_u32(static_cast<std::uint32_t>(accounts.size()));
    for (const Account* account : accounts)
        account->write(out);

    unsigned error = 0;
    if (!platform::replace_file(accounts_file_path(), out.bytes(), error)) {
        error_text = platform::system_error_text(error);
        return false;
    }
    error_text.clear();
    return true;
}

LoadedAccounts parse_accounts(std::string_view bytes, AccountOwner* owner)
{
    LoadedAccounts result;
    ByteReader in(bytes);
    std::string_view magic;
    if (!in.get_bytes(4, magic) || (magic != kAccountsMagic && magic != kAccountsMagicOld))
        return result;
    result.changed = magic == kAccountsMagicOld;

    std::uint32_t count = 0;
    if (!in.get_u32(count))
        return result;
    // The count comes from the file: it bounds the loop, never an allocation.
    for (std::uint32_t i = 0; i < count; ++i) {
        auto account = std::make_unique<Account>(owner);
        if (!account->read(in, magic, result.error_text))
            break;
        result.accounts.push_back(std::move(account));
    }
    return result;
}

LoadedAccounts load_accounts(AccountOwner* owner)
{
    std::string bytes;
    unsigned error = 0;
    if (!platform::read_whole_file(accounts_file_path(), bytes, error))
        return {};
    return parse_accounts(bytes, owner);
}

}  // namespace kivo
