#include "filter/safe_file.h"

#include "platform/file_replace.h"

namespace kivo::filter {

bool read_whole_file(const std::string& path, std::string& bytes, unsigned& error)
{
    return platform::read_whole_file(path, bytes, error);
}

bool read_whole_file(const std::string& path, std::string& bytes)
{
    unsigned ignored = 0;
    return platform::read_whole_file(path, bytes, ignored);
}

bool replace_file(const std::string& path, const std::string& bytes, ErrorReporter& reporter)
{
    unsigned error = 0;
    if (platform::replace_file(path, bytes, error))
        return true;
    reporter.report_system_error(path, error);
    return false;
}

}  // namespace kivo::filter
