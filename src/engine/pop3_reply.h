#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// Pure helpers for POP3 replies: no sockets, no state, safe on any input.

// Where a reply ends in the bytes received so far: the offset at which the
// reply text is cut (its terminator starts there), or npos while incomplete.
// A single-line reply ends at its first CRLF. A multi-line reply ends at
// CRLF "." CRLF, unless its status line is not "+OK": a refusal is a single
// line, and waiting for a terminator would only wait for the time-out.
// `checked`: how many leading bytes an earlier call already searched in
// vain, so a reply arriving in many pieces is not searched again each time.
std::size_t find_reply_end(std::string_view received, bool multiline, std::size_t checked = 0);

// The length of the terminator that find_reply_end found: CRLF "." CRLF
// for a multi-line reply with "+OK", else CRLF. The next pipelined reply
// starts right after it.
std::size_t reply_terminator_size(std::string_view received, bool multiline);

// True when a cut CAPA reply with "+OK" lists PIPELINING (RFC 2449): a
// line whose first word is that tag, in any case.
bool capa_lists_pipelining(std::string_view reply);

// The same for any capability tag, given in upper case ("STLS").
bool capa_lists(std::string_view reply, std::string_view tag);

// The APOP timestamp of a greeting: from the first '<' through the first
// '>' inclusive; empty when there is none.
std::string get_timestamp(std::string_view greeting);

// MD5 of the timestamp followed by the password, as 32 lower-case hex digits.
std::string make_apop_digest(std::string_view timestamp, std::string_view password);

struct ListEntry {
    int number = -1;
    std::int32_t size = -1;
};

// The (number, size) pairs of a cut LIST reply, in order. Lines whose
// message number does not parse as a positive number are left out: no
// TOP could fetch them.
std::vector<ListEntry> parse_list_reply(std::string_view reply);

// The content lines of a cut multi-line reply: every line after the status
// line, the last one included, without line ends, with the byte-stuffing
// undone (a line starting with ".." stands for one starting with ".").
std::vector<std::string> split_reply_lines(std::string_view reply);
// The same into `lines`, replacing what it held.
void split_reply_lines(std::string_view reply, std::vector<std::string>& lines);

// True when the text holds a CR or an LF, which would end a command early
// and let the rest pass as a command of its own.
bool has_line_break(std::string_view text);

}  // namespace kivo
