#include "log/log.h"

#include <cstdio>
#include <string>

#include "platform/files.h"
#include "platform/program_folder.h"

namespace kivo {

Log::Log() : time_source_(platform::local_time) {}

void Log::write_line(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    write_line_v(format, args);
    va_end(args);
}

void Log::write_line_v(const char* format, va_list args)
{
    platform::CriticalSectionLock guard(lock_);

    platform::LocalTime t;
    if (!time_source_ || !time_source_(t))
        return;

    // The whole line is built once, in place: the time stamp, then the
    // message straight after it, cut to what the line holds (far less than
    // the 8192 bytes a message may have), then the line feed when it fits.
    // It reaches the file in one write and the ring in one copy.
    char line[kLineLimit + 1];
    int stamp = std::snprintf(line, sizeof line, "%02d.%02d.%02d %02d.%02d.%02d ", t.day, t.month, t.year, t.hour,
                              t.minute, t.second);
    if (stamp < 0)
        return;
    std::size_t length = static_cast<std::size_t>(stamp) < kLineLimit ? static_cast<std::size_t>(stamp) : kLineLimit;
    if (std::vsnprintf(line + length, sizeof line - length, format, args) < 0)
        line[length] = '\0';  // a broken format gives an empty message
    // A NUL among the arguments ends the message there, as a C string would.
    length = std::char_traits<char>::length(line);
    if (length < kLineLimit)
        line[length++] = '\n';
    line[length] = '\0';

    if (write_to_file_)
        append_to_file(line, length);

    if (length == 0)
        return;
    std::size_t keep = static_cast<std::size_t>(capacity_ < 1 ? 1 : capacity_);
    while (recent_.size() >= keep)
        recent_.pop_front();
    recent_.emplace_back(line, length);
    ++written_;
}

std::string Log::file_path() const
{
    platform::CriticalSectionLock guard(lock_);
    std::string folder = platform::program_folder();
    if (log_file_.empty())
        return folder + "kivo.log";
    if (log_file_.find_first_of("\\/") == std::string::npos)
        return folder + log_file_;
    return log_file_;
}

void Log::append_to_file(const char* line, std::size_t size) const
{
    // Opened and closed for each line so other programs can read or move the
    // file in between; a failure only loses the line.
    platform::append_to_file_shared_read(file_path(), line, size);
}

std::vector<Log::NumberedLine> Log::recent_numbered() const
{
    platform::CriticalSectionLock guard(lock_);
    std::vector<NumberedLine> lines;
    lines.reserve(recent_.size());
    std::uint64_t first = written_ - recent_.size() + 1;
    for (std::size_t i = 0; i < recent_.size(); ++i)
        lines.push_back({first + i, recent_[i]});
    return lines;
}

std::vector<std::string> Log::recent_lines() const
{
    platform::CriticalSectionLock guard(lock_);
    return std::vector<std::string>(recent_.begin(), recent_.end());
}

bool Log::write_to_file() const
{
    platform::CriticalSectionLock guard(lock_);
    return write_to_file_;
}

void Log::set_write_to_file(bool on)
{
    platform::CriticalSectionLock guard(lock_);
    write_to_file_ = on;
}

std::string Log::log_file() const
{
    platform::CriticalSectionLock guard(lock_);
    return log_file_;
}

void Log::set_log_file(const std::string& name)
{
    platform::CriticalSectionLock guard(lock_);
    log_file_ = name;
}

int Log::capacity() const
{
    platform::CriticalSectionLock guard(lock_);
    return capacity_;
}

void Log::set_capacity(int capacity)
{
    platform::CriticalSectionLock guard(lock_);
    capacity_ = capacity;
}

void Log::set_time_source(TimeSource source)
{
    platform::CriticalSectionLock guard(lock_);
    time_source_ = std::move(source);
}

Log& app_log()
{
    static Log log;
    return log;
}

}  // namespace kivo
