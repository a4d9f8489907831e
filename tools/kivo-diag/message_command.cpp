// kivo-diag message: the Message record that Kivo builds from a raw message.
#include <climits>

#include "arguments.h"
#include "json_writer.h"
#include "message/message.h"
#include "message_file.h"
#include "platform/text.h"
#include "subcommands.h"

namespace kivo::diag {

namespace {

struct MessageOptions {
    std::string file;
    std::int64_t lines = 99;  // what Kivo asks TOP for
    std::int64_t size = -1;   // -1: the file's length
    std::string code_page;
    std::string decimal;
};

bool parse_options(const Arguments& args, MessageOptions& options, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool has_value = i + 1 < args.size();
        if (arg == "--lines" && has_value) {
            if (!parse_number(args[++i], 0, INT_MAX, options.lines)) {
                err << "kivo-diag message: --lines needs a number of 0 or more\n";
                return false;
            }
        } else if (arg == "--size" && has_value) {
            if (!parse_number(args[++i], 0, INT32_MAX, options.size)) {
                err << "kivo-diag message: --size needs a number from 0 to 2147483647\n";
                return false;
            }
        } else if (arg == "--codepage" && has_value) {
            options.code_page = args[++i];
            if (options.code_page != "1251" && options.code_page != "1252") {
                err << "kivo-diag message: --codepage is 1251 or 1252\n";
                return false;
            }
        } else if (arg == "--decimal" && has_value) {
            options.decimal = args[++i];
            if (options.decimal.size() != 1) {
                err << "kivo-diag message: --decimal takes one character\n";
                return false;
            }
        } else if (arg.rfind("--", 0) == 0 || !options.file.empty()) {
            err << "kivo-diag message: unexpected argument '" << arg << "'\n";
            return false;
        } else {
            options.file = arg;
        }
    }
    if (options.file.empty()) {
        err << "kivo-diag message: which FILE?\n";
        return false;
    }
    return true;
}

// The native build stands in for the Windows settings; the Windows build
// always uses the system's own.
bool apply_text_settings(const MessageOptions& options, std::ostream& err)
{
#ifdef _WIN32
    if (!options.code_page.empty() || !options.decimal.empty()) {
        err << "kivo-diag message: --codepage and --decimal are for the native build; "
               "this one uses the system's settings\n";
        return false;
    }
#else
    (void)err;
    platform::set_code_page_for_tests(options.code_page == "1251" ? 1251 : 1252);
    platform::set_decimal_separator_for_tests(options.decimal.empty() ? "." : options.decimal);
#endif
    return true;
}

}  // namespace

void write_message_fields(JsonObjectWriter& json, const Message& message)
{
    json.text("from", message.from());
    json.text("subject", message.subject());
    json.text("date", message.date());
    json.text("to", message.to());
    json.text("cc", message.cc());
    json.text("bcc", message.bcc());
    json.text("message_id", message.message_id());
    json.number("size", message.size());
    json.text("size_text", message.size_text());
    json.number("priority", message.priority());
    json.number("key", message.key());
    json.text("header_text", message.header_text());
    json.text("body_text", message.body_text());
    json.text_list("attachment_names", message.attachment_names());
    json.boolean("has_attachment", message.has_attachment());
}

int run_message(const Arguments& args, std::ostream& out, std::ostream& err)
{
    MessageOptions options;
    if (!parse_options(args, options, err) || !apply_text_settings(options, err))
        return 2;

    std::string bytes;
    if (!read_file(options.file, bytes)) {
        err << "kivo-diag message: cannot read '" << options.file << "'\n";
        return 1;
    }
    std::int64_t size = options.size >= 0 ? options.size : static_cast<std::int64_t>(bytes.size());
    if (size > INT32_MAX)
        size = INT32_MAX;  // LIST sizes are 32-bit

    const Message message(top_lines(split_message_lines(bytes), static_cast<std::size_t>(options.lines)),
                          static_cast<std::int32_t>(size));

    JsonObjectWriter json(out);
    write_message_fields(json, message);
    return 0;
}

}  // namespace kivo::diag
