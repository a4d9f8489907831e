#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kivo::filter {

// Where the filter files' failures go. The program shows them in its
// message box; the core stays free of windows, so it only sees this.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // A numbered text of the message table with its inserts.
    virtual void report_message(std::uint32_t id, const std::vector<std::string>& inserts) = 0;
    // A failed file operation, with the system's error code.
    virtual void report_system_error(const std::string& file, unsigned error) = 0;
};

// Writes each report as a line of the program's log.
class LogErrorReporter : public ErrorReporter {
public:
    void report_message(std::uint32_t id, const std::vector<std::string>& inserts) override;
    void report_system_error(const std::string& file, unsigned error) override;
};

// The process-wide log reporter, for callers that have no other.
ErrorReporter& log_error_reporter();

}  // namespace kivo::filter
