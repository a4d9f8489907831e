#include "engine/account.h"
#include "platform/program_folder.h"
#include "platform/registry.h"
#include "platform/registry_paths.h"

namespace kivo {
namespace {

// The account's own subkey. A name that is empty or holds a backslash
// would name the Accounts key itself or a key below another account's.
bool account_key_path(const std::string& name, std::string& path)
{
    if (name.empty() || name.find('\\') != std::string::npos)
        return false;
    path = std::string(kAccountsKey) + "\\" + name;
    return true;
}

}  // namespace

void Account::save_registry() const
{
    std::string path;
    if (!account_key_path(name_, path))
        return;
    platform::RegKey key = platform::RegKey::open_or_create(platform::RegRoot::current_user, path);
    if (!key)
        return;
    key.write_dword("DisableChecking", state() == MSG_STATE_DISABLED ? 1 : 0);
    key.write_string("SoundFile", sound_file_);
    key.write_dword("MsgDeletion", deletion_mode_);
    key.write_dword("SecureAuth", secure_auth_ ? 1 : 0);
    key.write_dword("MsgLinesNum", static_cast<std::uint32_t>(preview_lines_));
    key.write_dword("CheckMailboxSize", check_mailbox_size_ ? 1 : 0);
    key.write_dword("MailboxBound", static_cast<std::uint32_t>(mailbox_bound_));
    key.write_string("LaunchFile", launch_file_);
    key.write_dword("Pipelining", pipelining_ ? 1 : 0);
    key.write_dword("Security", static_cast<std::uint32_t>(security_));
    key.write_string("TrustedFingerprint", trusted_fingerprint_);
}

void Account::load_registry()
{
    std::string path;
    platform::RegKey key;
    if (account_key_path(name_, path))
        key = platform::RegKey::open_read(platform::RegRoot::current_user, path);
    if (key) {
        std::uint32_t value = 0;
        if (key.read_dword("DisableChecking", value) && value != 0)
            set_state(MSG_STATE_DISABLED);
        key.read_string("SoundFile", sound_file_);
        if (key.read_dword("MsgDeletion", value))
            deletion_mode_ = value;
        if (key.read_dword("SecureAuth", value))
            secure_auth_ = value != 0;
        if (key.read_dword("MsgLinesNum", value))
            preview_lines_ = static_cast<std::int32_t>(value);
        if (key.read_dword("CheckMailboxSize", value))
            check_mailbox_size_ = value != 0;
        if (key.read_dword("MailboxBound", value))
            mailbox_bound_ = static_cast<std::int32_t>(value);
        key.read_string("LaunchFile", launch_file_);
        // Missing (older versions): on. 0 for a server that advertises
        // PIPELINING but mishandles it.
        if (key.read_dword("Pipelining", value))
            pipelining_ = value != 0;
        // Missing: no TLS, as before. An unknown choice is taken as TLS:
        // a value from a newer version must never mean less security.
        if (key.read_dword("Security", value))
            security_ = value == 0 ? Security::none : value == 2 ? Security::stls : Security::tls;
        key.read_string("TrustedFingerprint", trusted_fingerprint_);
    }
    if (sound_file_.empty())
        sound_file_ = platform::program_folder() + "kivo.wav";
}

void Account::delete_registry() const
{
    std::string path;
    if (account_key_path(name_, path))
        platform::RegKey::delete_tree(platform::RegRoot::current_user, path);
}

}  // namespace kivo
