#include <doctest/doctest.h>

#include "platform/tls.h"

using kivo::platform::normalise_fingerprint;

TEST_CASE("a fingerprint is accepted in the spellings people copy, and nothing else")
{
    const std::string hex = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
    CHECK(normalise_fingerprint(hex) == hex);
    CHECK(normalise_fingerprint("0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF") == hex);
    std::string colons;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        colons += (i ? ":" : "") + hex.substr(i, 2);
    CHECK(normalise_fingerprint(colons) == hex);
    CHECK(normalise_fingerprint("01 23 45 67 89 ab cd ef 01 23 45 67 89 ab cd ef 01 23 45 67 89 ab cd ef 01 23 45 67 "
                                "89 ab cd ef") == hex);
    // A SHA-1, a truncated or over-long one, or any other character would
    // never match, and must not be stored as if it could.
    CHECK(normalise_fingerprint(hex.substr(0, 40)).empty());
    CHECK(normalise_fingerprint(hex + "00").empty());
    CHECK(normalise_fingerprint(hex.substr(0, 63) + "g").empty());
    CHECK(normalise_fingerprint("").empty());
}
