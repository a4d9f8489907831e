#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/pop3_reply.h"

// The first byte chooses the reply kind and the size of the pieces the
// reply arrives in; the rest is the server's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool multiline = data[0] & 1;
    const std::size_t piece = 1 + (data[0] >> 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    // Searching piece by piece, resuming after what was searched, finds the
    // same end as searching everything at once.
    const std::size_t whole = kivo::find_reply_end(bytes, multiline);
    std::size_t found = std::string_view::npos;
    std::size_t checked = 0;
    for (std::size_t have = 0; have < bytes.size() && found == std::string_view::npos;) {
        have = std::min(bytes.size(), have + piece);
        found = kivo::find_reply_end(bytes.substr(0, have), multiline, checked);
        checked = have;
    }
    if (found != whole)
        __builtin_trap();

    const std::string_view reply = whole == std::string_view::npos ? bytes : bytes.substr(0, whole);
    for (const kivo::ListEntry& entry : kivo::parse_list_reply(reply))
        if (entry.number < 1)
            __builtin_trap();
    std::size_t total = 0;
    for (const std::string& line : kivo::split_reply_lines(reply))
        total += line.size();
    if (total > reply.size())
        __builtin_trap();

    const std::string timestamp = kivo::get_timestamp(reply);
    if (!timestamp.empty() && (timestamp.front() != '<' || timestamp.back() != '>'))
        __builtin_trap();
    if (kivo::make_apop_digest(timestamp, reply).size() != 32)
        __builtin_trap();
    kivo::capa_lists_pipelining(reply);

    // Read as a pipelined stream, every answer ends inside the bytes and the
    // next one starts after its terminator, so the stream always advances.
    for (std::string_view rest = bytes;;) {
        const std::size_t end = kivo::find_reply_end(rest, multiline);
        if (end == std::string_view::npos)
            break;
        const std::size_t next = end + kivo::reply_terminator_size(rest, multiline);
        if (next > rest.size() || next <= end)
            __builtin_trap();
        rest.remove_prefix(next);
    }
    return 0;
}
