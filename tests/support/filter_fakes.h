#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "filter/error_reporter.h"
#include "filter/filter_actions.h"
#include "message/message.h"

namespace kivo::test {

// A message from header lines as the server sends them ("From: a@b.c").
inline Message make_message(std::vector<std::string> header, std::int32_t size = 1000,
                            std::vector<std::string> body = {})
{
    Lines lines = std::move(header);
    lines.emplace_back();
    for (std::string& line : body)
        lines.push_back(std::move(line));
    return Message(lines, size);
}

struct RecordingReporter : filter::ErrorReporter {
    std::vector<std::uint32_t> messages;
    std::vector<std::vector<std::string>> inserts;
    std::vector<std::string> failed_files;
    void report_message(std::uint32_t id, const std::vector<std::string>& in) override
    {
        messages.push_back(id);
        inserts.push_back(in);
    }
    void report_system_error(const std::string& file, unsigned) override
    {
        failed_files.push_back(file);
    }
};

struct RecordingActions : filter::FilterActions {
    std::vector<std::string> calls;
    void RunMailer() override { calls.push_back("mailer"); }
    void LaunchProgram(const std::string& path) override { calls.push_back("launch " + path); }
    void PlaySoundFile(const std::string& file) override { calls.push_back("sound " + file); }
    void SendToUrl(const std::string& url) override { calls.push_back("url " + url); }
};

}  // namespace kivo::test
