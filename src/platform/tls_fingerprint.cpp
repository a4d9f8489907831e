#include <cctype>

#include "platform/tls.h"

namespace kivo::platform {

std::string normalise_fingerprint(const std::string& text)
{
    std::string hex;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isxdigit(u))
            hex += static_cast<char>(std::tolower(u));
        else if (c != ':' && c != ' ' && c != '-')
            return {};
    }
    return hex.size() == 64 ? hex : std::string{};
}

}  // namespace kivo::platform
