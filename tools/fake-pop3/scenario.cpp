#include "scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fake_pop3 {

namespace {

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Any mix of LF and CR LF becomes CR LF, as POP3 sends it.
std::string to_crlf(const std::string& raw)
{
    std::string out;
    out.reserve(raw.size() + raw.size() / 32);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r'))
            out += '\r';
        out += raw[i];
    }
    if (!out.empty() && (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0))
        out += "\r\n";
    return out;
}

}  // namespace

bool parse_fault(const std::string& spec, Fault& fault)
{
    std::size_t colon = spec.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    std::string target = spec.substr(0, colon);
    std::size_t blank = target.find(' ');
    fault.command = upper(target.substr(0, blank));
    fault.argument = blank == std::string::npos ? "" : target.substr(blank + 1);
    fault.actions.clear();
    std::string actions = spec.substr(colon + 1);
    std::size_t start = 0;
    while (start <= actions.size()) {
        std::size_t plus = actions.find('+', start);
        std::string action = actions.substr(start, plus == std::string::npos ? plus : plus - start);
        if (!action.empty())
            fault.actions.push_back(action);
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    return !fault.actions.empty();
}

void Scenario::add_user(const std::string& name, const std::string& password)
{
    std::lock_guard<std::mutex> guard(lock_);
    users_[name] = password;
}

bool Scenario::password_of(const std::string& name, std::string& password) const
{
    std::lock_guard<std::mutex> guard(lock_);
    auto it = users_.find(name);
    if (it == users_.end())
        return false;
    password = it->second;
    return true;
}

void Scenario::add_message(const std::string& raw)
{
    std::lock_guard<std::mutex> guard(lock_);
    messages_.push_back({next_id_++, to_crlf(raw)});
}

bool Scenario::load_folder(const std::string& folder)
{
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    if (ec)
        return false;
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        add_message(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    return true;
}

void Scenario::add_fault(const Fault& fault)
{
    std::lock_guard<std::mutex> guard(lock_);
    faults_.push_back(fault);
}

const Fault* Scenario::find_fault(const std::string& command, const std::string& argument) const
{
    std::lock_guard<std::mutex> guard(lock_);
    for (const Fault& fault : faults_)
        if (fault.command == upper(command) && (fault.argument.empty() || fault.argument == argument))
            return &fault;  // faults are only added before the server starts
    return nullptr;
}

std::vector<StoredMessage> Scenario::snapshot() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return messages_;
}

void Scenario::remove_messages(const std::vector<std::uint64_t>& ids)
{
    std::lock_guard<std::mutex> guard(lock_);
    messages_.erase(std::remove_if(messages_.begin(), messages_.end(),
                                   [&](const StoredMessage& m) {
                                       return std::find(ids.begin(), ids.end(), m.id) != ids.end();
                                   }),
                    messages_.end());
}

std::size_t Scenario::message_count() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return messages_.size();
}

void Scenario::record(const std::string& line)
{
    std::lock_guard<std::mutex> guard(lock_);
    record_.push_back(line);
    if (!record_file_.empty()) {
        if (FILE* f = std::fopen(record_file_.c_str(), "ab")) {
            std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
    }
}

std::vector<std::string> Scenario::commands() const
{
    std::lock_guard<std::mutex> guard(lock_);
    return record_;
}

}  // namespace fake_pop3
