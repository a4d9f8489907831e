#pragma once
#include <string>

namespace kivo {
class Message;
}

namespace kivo::filter {

class PowerFilter;

// What a matching power filter can make happen. The program implements these
// with the main window, the shell, the sound player and WinINet; tests and
// kivo-diag record the calls instead. Nothing reports back: a failing action
// never stops the next one.
class FilterActions {
public:
    virtual ~FilterActions() = default;
    // Has the main window run the mail client (command 1020, sent synchronously).
    virtual void RunMailer() = 0;
    virtual void LaunchProgram(const std::string& path) = 0;
    virtual void PlaySoundFile(const std::string& file) = 0;
    virtual void SendToUrl(const std::string& url) = 0;
    // Told first when a power filter matched, before its actions; lets a
    // recorder say which filter an action came from.
    virtual void FilterMatched(const PowerFilter& /*filter*/) {}
};

// Runs the filter's actions in their fixed order: run mailer, launch program,
// play sound, send to URL. An action whose path, file or base URL is empty
// does nothing and is not called.
void FireActions(const PowerFilter& filter, const Message& message, FilterActions& actions);

// The address the send-to-URL action requests: the base URL as stored, then
// "?to=", "&cc=", "&bcc=", "&subject=", "&emailbody=" with the message's
// fields percent-encoded byte by byte, so that "&", "=", "#", "%", "+" or a
// line break in a message can neither cut the request short nor add a
// parameter of its own.
std::string BuildQuery(const std::string& url, const Message& message);

// Every byte but A-Z a-z 0-9 - . _ ~ as %XX.
std::string PercentEncode(const std::string& value);

// Does nothing at all; for callers that want marks without actions.
class NoFilterActions : public FilterActions {
public:
    void RunMailer() override {}
    void LaunchProgram(const std::string&) override {}
    void PlaySoundFile(const std::string&) override {}
    void SendToUrl(const std::string&) override {}
};

}  // namespace kivo::filter
