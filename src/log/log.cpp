#include "log/log.h"

#include <cstdio>

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

    char message[kMessageBufferSize];
    if (std::vsnprintf(message, sizeof message, format, args) < 0)
        message[0] = '\0';  // longer messages are cut by vsnprintf; a broken format gives nothing

    platform::LocalTime t;
    if (!time_source_ || !time_source_(t))
        return;

    char line[kLineLimit + 1];
    int n = std::snprintf(line, sizeof line, "%02d.%02d.%02d %02d.%02d.%02d %s\n", t.day, t.month, t.year, t.hour,
                          t.minute, t.second, message);
    if (n < 0)
        return;
    std::string text(line);  // snprintf cut it at kLineLimit characters, line feed included

    if (write_to_file_)
        append_to_file(text);

    if (text.empty())
        return;
    std::size_t keep = static_cast<std::size_t>(capacity_ < 1 ? 1 : capacity_);
    if (recent_.size() >= keep)
        recent_.erase(recent_.begin(), recent_.begin() + static_cast<std::ptrdiff_t>(recent_.size() - keep + 1));
    recent_.push_back(std::move(text));
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

void Log::append_to_file(const std::string& line) const
{
    // Opened and closed for each line so other programs can read or move the
    // file in between; a failure only loses the line.
    platform::append_to_file_shared_read(file_path(), line.data(), line.size());
}

std::vector<std::string> Log::recent_lines() const
{
    platform::CriticalSectionLock guard(lock_);
    return recent_;
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
