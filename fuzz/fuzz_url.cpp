#include <cstddef>
#include <cstdint>
#include <string>

#include "message/url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    kivo::Url url(text);
    // A parsed value composes back to a text that parses to the same parts
    // (composition needs a scheme; parsing accepts an empty one).
    if (!url.valid() || url.scheme().empty())
        return 0;
    kivo::Url composed(url.scheme(), url.user(), url.password(), url.host(), url.path());
    kivo::Url again(composed.url());
    if (!again.valid() || again.scheme() != url.scheme() || again.user() != url.user() ||
        again.password() != url.password() || again.host() != url.host() || again.path() != url.path())
        __builtin_trap();
    return 0;
}
