#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/account.h"
#include "engine/account_file.h"
#include "platform/byte_codec.h"

namespace {

std::string written(const kivo::LoadedAccounts& loaded)
{
    kivo::platform::ByteWriter out;
    out.put_bytes(kivo::kAccountsMagic);
    out.put_u32(static_cast<std::uint32_t>(loaded.accounts.size()));
    for (const auto& account : loaded.accounts)
        account->write(out);
    return out.bytes();
}

}  // namespace

// Any bytes as kivo.dat: reading never fails badly, and what was read is
// written back in a form that reads back to the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kivo::LoadedAccounts first = kivo::parse_accounts(bytes, nullptr);
    if (first.accounts.empty())
        return 0;
    const std::string once = written(first);
    kivo::LoadedAccounts second = kivo::parse_accounts(once, nullptr);
    if (second.accounts.size() != first.accounts.size() || written(second) != once)
        __builtin_trap();
    return 0;
}
