#pragma once
#include <string>
#include <string_view>

namespace kivo {

// Decodes the RFC 2047 encoded words ("=?charset?B|Q?text?=") of a header
// value and appends the result to out. KOI8-R text is converted to
// Windows-1251; every other charset is passed on as the decoded bytes.
// Never throws; a failure is logged and out keeps what was decoded so far.
void mime_decode(const std::string& input, std::string& out);

// Base64 of RFC 2045, decoded leniently: a character outside the alphabet
// contributes all-one bits, and a short last group yields only its complete
// bytes.
void decode_base64(std::string_view text, std::string& out);

// Quoted-printable "=XX" escapes and "=" LF soft breaks; an invalid escape
// passes through unchanged. With underscore_is_blank, "_" stands for a
// blank, as in the "Q" encoding of encoded words.
void decode_quoted_printable(std::string_view text, std::string& out, bool underscore_is_blank = false);

// Replaces each byte of 0x80 and above by its Windows-1251 counterpart.
void koi8r_to_cp1251(std::string_view text, std::string& out);

}  // namespace kivo
