#pragma once
#include <cstddef>

namespace kivo {

// How many pipelined commands may be out at once. At least `commands`; more
// while the answers expected (their LIST sizes) stay under `bytes`, so a
// mailbox of small messages still keeps a server that holds back partial
// segments busy until its next ACK; never more than `max_commands`, which
// bounds the commands waiting in the server's input (a few KB).
class PipelineWindow {
public:
    static constexpr std::size_t kDefaultCommands = 64;
    static constexpr std::size_t kDefaultBytes = std::size_t{256} << 10;
    static constexpr std::size_t kMaxCommands = 1024;

    explicit PipelineWindow(std::size_t commands = kDefaultCommands, std::size_t bytes = kDefaultBytes)
        : commands_(commands < 1 ? 1 : commands > kMaxCommands ? kMaxCommands : commands), bytes_(bytes)
    {
    }

    std::size_t commands() const { return commands_; }
    std::size_t bytes() const { return bytes_; }

    // Whether one more command may join the `out` commands already queued or
    // sent, whose answers are expected to bring `out_bytes`.
    bool has_room(std::size_t out, std::size_t out_bytes) const
    {
        return out < kMaxCommands && (out < commands_ || out_bytes < bytes_);
    }

    // Whether to top up now, with `sent` commands unanswered (answers of
    // `sent_bytes` expected) and `out` queued or sent: once half the window
    // is answered, and only when at least half a window of commands can go
    // in one segment, so the answers of a small-message mailbox do not each
    // bring a send of one command.
    bool wants_top_up(std::size_t sent, std::size_t sent_bytes, std::size_t out) const
    {
        bool half_answered = sent <= commands_ / 2 || (bytes_ > 0 && sent_bytes <= bytes_ / 2);
        return half_answered && kMaxCommands - out >= commands_ / 2;
    }

private:
    std::size_t commands_;
    std::size_t bytes_;
};

}  // namespace kivo
