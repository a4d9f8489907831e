#include "message/mime_decode.h"

#include "log/log.h"
#include "message/ascii_case.h"

namespace kivo {

namespace {

struct EncodedWord {
    std::string_view charset;
    char encoding = 0;
    std::string_view text;
    std::size_t close = 0;  // position of the closing "?="
};

// Reads the encoded word whose "=?" is at start. False when the rest of the
// input does not hold a complete one; nothing outside the input is read.
bool read_encoded_word(const std::string& input, std::size_t start, EncodedWord& word)
{
    const std::size_t charset_end = input.find('?', start + 2);
    if (charset_end == std::string::npos)
        return false;
    const std::size_t encoding_end = input.find('?', charset_end + 1);
    if (encoding_end == std::string::npos)
        return false;
    const std::size_t close = input.find("?=", encoding_end + 1);
    if (close == std::string::npos)
        return false;
    // The text starts after one letter and one "?" behind the charset.
    const std::size_t text_start = charset_end + 3;
    if (text_start > close)
        return false;
    const std::string_view all(input);
    word.charset = all.substr(start + 2, charset_end - (start + 2));
    word.encoding = input[charset_end + 1];
    word.text = all.substr(text_start, close - text_start);
    word.close = close;
    return true;
}

bool is_blank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void decode_word(const EncodedWord& word, std::string& out)
{
    std::string bytes;
    if (word.encoding == 'B' || word.encoding == 'b')
        decode_base64(word.text, bytes);
    else
        decode_quoted_printable(word.text, bytes, word.encoding == 'Q' || word.encoding == 'q');
    // Charset names are case-insensitive; mailers write "KOI8-R" as often as
    // "koi8-r".
    if (equal_ascii_no_case(word.charset, "koi8-r"))
        koi8r_to_cp1251(bytes, out);
    else
        out += bytes;
}

}  // namespace

void mime_decode(const std::string& input, std::string& out)
{
    try {
        std::size_t search = 0;
        std::size_t copied_to = 0;  // input before this position is in out
        bool first = true;
        for (;;) {
            const std::size_t start = input.find("=?", search);
            if (start == std::string::npos)
                break;
            EncodedWord word;
            // An "=?" that opens no complete word is kept as text, with
            // everything after it, by the copy at the end.
            if (!read_encoded_word(input, start, word))
                break;
            // Only white space between two encoded words is dropped (RFC
            // 2047); the text before the first one, and any real text
            // between two, is kept.
            if (start > copied_to) {
                std::string_view gap(input.data() + copied_to, start - copied_to);
                if (first || !is_blank(gap))
                    out += gap;
            }
            decode_word(word, out);
            first = false;
            search = word.close;
            copied_to = word.close + 2;
        }
        if (copied_to < input.size())
            out.append(input, copied_to, std::string::npos);
    } catch (...) {
        app_log().write_line("Error in mime_decode. Input string=%s\n", input.c_str());
    }
}

}  // namespace kivo
