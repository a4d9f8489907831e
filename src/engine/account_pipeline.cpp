// Pipelined fetching (RFC 2449 PIPELINING): TOP commands go out ahead of
// their answers within a window, the DELE of each message that must go joins
// the same stream, and the answers are taken in order. Against a server that
// holds back small segments until it sees an ACK, this is what keeps a check
// from waiting one delayed ACK per command.
#include <cstdarg>
#include <deque>

#include "engine/account.h"
#include "log/log.h"
#include "engine/pop3_reply.h"
#include "message/message.h"

namespace kivo {
namespace {

// An answer still to come, in the order its command was queued.
struct Awaited {
    bool dele;          // else TOP
    std::size_t slot;   // the message's place in the LIST order
    std::size_t bytes;  // the answer expected: the LIST size for a TOP
};

// What became of one listed message.
struct Slot {
    std::shared_ptr<Message> message;  // none: left out of the list
    bool settled = false;              // false while its TOP or DELE answer is out
};

}  // namespace

bool Account::ask_pipelining()
{
    if (!send_request("CAPA") || !read_multiline_answer())
        return false;
    // Servers older than RFC 2449 refuse CAPA: not an error of the check, so
    // their text does not go to last_error.
    return capa_lists_pipelining(answer());
}

bool Account::queue_request(std::string& batch, const char* format, ...)
{
    std::string line;
    va_list args;
    va_start(args, format);
    bool formatted = format_request(line, format, args);
    va_end(args);
    if (!formatted)
        return false;
    log_request(line);
    batch += line;
    return true;
}

bool Account::send_batch(std::string& batch)
{
    touch_timeout();
    if (!socket_.is_open()) {
        set_error(MSG_UNEXPECTED_ERROR, 0, nullptr, -1);
        return false;
    }
    bool sent = send_bytes(batch);
    batch.clear();
    return sent;
}

bool Account::fetch_pipelined(const std::vector<ListEntry>& entries, bool delete_marked, MessageList& out)
{
    // Nothing may follow the LIST answer: no command of ours was out.
    buffer_.cut(buffer_.text().size());

    std::vector<Slot> slots(entries.size());
    std::deque<Awaited> awaited;
    std::string batch;
    std::size_t unsent = 0;        // the last commands of `awaited`, still in `batch`
    std::size_t out_bytes = 0;     // the answers expected for all of `awaited`
    std::size_t unsent_bytes = 0;  // those of the unsent ones
    std::size_t next_top = 0;      // the next message whose TOP is to be queued
    std::size_t next_out = 0;      // the next message to reach the list, in LIST order
    const PipelineWindow window = pipeline_window_;
    auto expect = [&](const Awaited& a) {
        awaited.push_back(a);
        ++unsent;
        out_bytes += a.bytes;
        unsent_bytes += a.bytes;
    };

    for (;;) {
        std::size_t sent = awaited.size() - unsent;
        // Topping up when half the answers are in keeps the server busy and
        // sends the commands in few segments, each of which also
        // acknowledges what came.
        bool top_up = window.wants_top_up(sent, out_bytes - unsent_bytes, awaited.size());
        if (top_up) {
            while (next_top < entries.size() && window.has_room(awaited.size(), out_bytes)) {
                if (!queue_request(batch, "TOP %d %d", entries[next_top].number, preview_lines_)) {
                    close_socket();
                    return false;
                }
                std::int32_t size = entries[next_top].size;
                expect({false, next_top++, size > 0 ? static_cast<std::size_t>(size) : 0});
            }
        }
        // A DELE queued meanwhile goes with the next TOPs, or at once when no
        // more are to come.
        if (unsent > 0 && (top_up || next_top == entries.size())) {
            if (!send_batch(batch))
                return false;
            unsent = 0;
            unsent_bytes = 0;
        }

        // Messages join the list and the filters see them in LIST order, as
        // one command at a time would have it.
        for (; next_out < slots.size() && slots[next_out].settled; ++next_out) {
            if (!slots[next_out].message)
                continue;
            if (cycle_)
                cycle_->classify(*this, *slots[next_out].message);
            out.push_back(std::move(slots[next_out].message));
        }
        if (awaited.empty())
            return true;

        // Building messages takes time of its own; a stop must not wait for
        // the whole mailbox.
        if (stop_event_.is_set()) {
            close_socket();
            return false;
        }
        Awaited next = awaited.front();
        awaited.pop_front();
        out_bytes -= next.bytes;
        // A lost connection (or a stop) fails the check: every later answer is lost.
        if (!read_reply(!next.dele, true))
            return false;
        Slot& slot = slots[next.slot];
        if (next.dele) {
            // Left out exactly when the server took it; a refused one stays
            // with its mark and is tried again at the next check.
            if (is_ok())
                slot.message.reset();
            slot.settled = true;
            continue;
        }
        // A refused TOP leaves this message out; the stream goes on.
        if (is_ok())
            slot.message = build_message(entries[next.slot]);
        if (slot.message && delete_marked && cycle_->must_delete(*this, entries[next.slot].number, *slot.message)) {
            app_log().write_line("Delete message: account=%s", name_.c_str());
            if (!queue_request(batch, "DELE %d", entries[next.slot].number)) {
                close_socket();
                return false;
            }
            expect({true, next.slot, 0});
            continue;
        }
        slot.settled = true;
    }
}

}  // namespace kivo
