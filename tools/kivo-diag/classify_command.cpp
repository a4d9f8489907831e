// kivo-diag classify: what Kivo's filters make of some messages, and why.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "filter/email_filter.h"
#include "filter/power_filter.h"
#include "message/message.h"
#include "message_file.h"
#include "platform/file_replace.h"
#include "platform/message_text.h"
#include "subcommands.h"

namespace kivo::diag {

namespace {

struct ClassifyOptions {
    std::string folder;
    std::vector<std::string> files;
    filter::FilterSwitches switches;  // both on unless told otherwise
};

bool parse_yes_no(const std::string& text, bool& value)
{
    if (text != "yes" && text != "no")
        return false;
    value = text == "yes";
    return true;
}

bool parse_options(const Arguments& args, ClassifyOptions& options, std::ostream& err)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool* target = arg == "--check-friends"    ? &options.switches.checkFriends
                       : arg == "--check-spammers" ? &options.switches.checkSpammers
                                                   : nullptr;
        if (target) {
            if (i + 1 >= args.size() || !parse_yes_no(args[i + 1], *target)) {
                err << "kivo-diag classify: " << arg << " takes yes or no\n";
                return false;
            }
            ++i;
        } else if (arg.rfind("--", 0) == 0) {
            err << "kivo-diag classify: unexpected argument '" << arg << "'\n";
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() < 2) {
        err << "kivo-diag classify: needs a folder of filter files and at least one message FILE\n";
        return false;
    }
    options.folder = positional[0];
    options.files.assign(positional.begin() + 1, positional.end());
    std::error_code ec;
    if (!std::filesystem::is_directory(options.folder, ec)) {
        err << "kivo-diag classify: '" << options.folder << "' is not a folder\n";
        return false;
    }
    char last = options.folder.back();
    if (last != '/' && last != '\\')
        options.folder += '/';
    return true;
}

// One JSON string; every byte above ASCII becomes \u00XX, as in `message`.
std::string json_string(std::string_view bytes)
{
    std::string out = "\"";
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += ch;
        } else if (b < 0x20 || b >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(b));
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

// Records what the filters would do; nothing is run, played or requested.
class RecordedActions : public filter::FilterActions {
public:
    void FilterMatched(const filter::PowerFilter& f) override { filter_ = f.name; }
    void RunMailer() override { add("run_mailer", ""); }
    void LaunchProgram(const std::string& path) override { add("launch_program", path); }
    void PlaySoundFile(const std::string& file) override { add("play_sound", file); }
    void SendToUrl(const std::string& url) override { add("send_to_url", url); }

    std::string take_json()
    {
        std::string list = "[" + json_ + "]";
        json_.clear();
        return list;
    }

private:
    void add(const char* action, const std::string& argument)
    {
        if (!json_.empty())
            json_ += ", ";
        json_ += "{\"filter\": " + json_string(filter_) + ", \"action\": \"" + action +
                 "\", \"argument\": " + json_string(argument) + "}";
    }
    std::string filter_;
    std::string json_;
};

// The filter files' complaints go to standard error.
class StreamReporter : public filter::ErrorReporter {
public:
    explicit StreamReporter(std::ostream& err) : err_(err) {}
    void report_message(std::uint32_t id, const std::vector<std::string>& inserts) override
    {
        err_ << "kivo-diag classify: " << platform::message_text(id, inserts) << "\n";
    }
    void report_system_error(const std::string& file, unsigned error) override
    {
        err_ << "kivo-diag classify: " << file << ": " << platform::system_error_text(error) << "\n";
    }

private:
    std::ostream& err_;
};

}  // namespace

int run_classify(const Arguments& args, std::ostream& out, std::ostream& err)
{
    ClassifyOptions options;
    if (!parse_options(args, options, err))
        return 2;

    RecordedActions actions;
    StreamReporter reporter(err);
    filter::EmailFilterConfig config;
    config.folder = options.folder;
    config.useRegistry = false;
    filter::EmailFilter filters(actions, reporter, config);
    filters.SetSwitches(options.switches);

    int status = 0;
    for (const std::string& file : options.files) {
        std::string bytes;
        if (!read_file(file, bytes)) {
            err << "kivo-diag classify: cannot read '" << file << "'\n";
            status = 1;
            continue;
        }
        std::size_t size = bytes.size() > INT32_MAX ? INT32_MAX : bytes.size();
        Message message(top_lines(split_message_lines(bytes), 99), static_cast<std::int32_t>(size));
        filter::ClassifyStage stage = filters.Classify(message);
        out << "{\"file\": " << json_string(file) << ", \"deleted\": " << (message.deleted() ? "true" : "false")
            << ", \"spammer\": " << (message.spammer() ? "true" : "false")
            << ", \"uncertain\": " << (message.uncertain() ? "true" : "false")
            << ", \"friendly\": " << (message.friendly() ? "true" : "false") << ", \"actions\": "
            << actions.take_json() << ", \"stage\": \"" << filter::stage_name(stage) << "\"}\n";
    }
    return status;
}

}  // namespace kivo::diag
