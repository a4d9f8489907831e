#pragma once
#include <cstdarg>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/critical_section.h"
#include "platform/printf_check.h"

namespace kivo {

// The process-wide log: one time-stamped line per event, appended to a file
// when enabled and always kept in a ring of recent lines for the log viewer.
// Any thread may write. Formats are printf formats written by the program;
// text from a server or a user is only ever passed as an argument ("%s").
class Log {
public:
    static constexpr int kDefaultCapacity = 300;
    static constexpr std::size_t kMessageBufferSize = 8192;
    static constexpr std::size_t kLineLimit = 259;

    using TimeSource = std::function<bool(platform::LocalTime&)>;

    Log();

    void write_line(const char* format, ...) KIVO_PRINTF_FORMAT(2, 3);
    void write_line_v(const char* format, va_list args) KIVO_PRINTF_FORMAT(2, 0);

    std::vector<std::string> recent_lines() const;
    // A line of the ring with its number: lines are numbered from 1 in the
    // order they were written, so a reader can tell identical texts apart
    // and see how many lines it missed.
    struct NumberedLine {
        std::uint64_t sequence = 0;
        std::string text;
    };
    std::vector<NumberedLine> recent_numbered() const;

    bool write_to_file() const;
    void set_write_to_file(bool on);
    std::string log_file() const;
    void set_log_file(const std::string& name);
    int capacity() const;
    void set_capacity(int capacity);

    // The path a line is appended to, from the log file setting.
    std::string file_path() const;

    // Tests replace the clock.
    void set_time_source(TimeSource source);

private:
    void append_to_file(const char* line, std::size_t size) const;

    mutable platform::CriticalSection lock_;
    bool write_to_file_ = false;
    std::string log_file_ = "kivo.log";
    int capacity_ = kDefaultCapacity;
    std::deque<std::string> recent_;  // oldest first
    std::uint64_t written_ = 0;       // lines ever put in the ring; the newest one's number
    TimeSource time_source_;
};

// The program's one log.
Log& app_log();

}  // namespace kivo
