#include "filter/error_reporter.h"

#include "log/log.h"
#include "platform/file_replace.h"
#include "platform/message_text.h"

namespace kivo::filter {

void LogErrorReporter::report_message(std::uint32_t id, const std::vector<std::string>& inserts)
{
    std::string text = platform::message_text(id, inserts);
    app_log().write_line("%s\n", text.c_str());
}

void LogErrorReporter::report_system_error(const std::string& file, unsigned error)
{
    std::string reason = platform::system_error_text(error);
    app_log().write_line("Cannot write %s: %s\n", file.c_str(), reason.c_str());
}

ErrorReporter& log_error_reporter()
{
    static LogErrorReporter reporter;
    return reporter;
}

}  // namespace kivo::filter
