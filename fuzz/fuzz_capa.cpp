#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/pop3_reply.h"
#include "platform/tls.h"

// A CAPA reply from the server (whose STLS line decides whether the
// password may leave), and a fingerprint as a user may paste it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const bool stls = kivo::capa_lists(reply, "STLS");
    // Only a +OK reply can offer anything.
    if (stls && reply.substr(0, 3) != "+OK")
        __builtin_trap();
    if (kivo::capa_lists_pipelining(reply) != kivo::capa_lists(reply, "PIPELINING"))
        __builtin_trap();
    // The answer does not depend on the case of the reply's letters.
    std::string upper(reply);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (reply.substr(0, 3) == "+OK" && kivo::capa_lists(upper, "STLS") != stls)
        __builtin_trap();

    const std::string hex = kivo::platform::normalise_fingerprint(std::string(reply));
    if (!hex.empty()) {
        if (hex.size() != 64)
            __builtin_trap();
        for (char c : hex)
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
                __builtin_trap();
    }
    return 0;
}
