#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace kivo {
class Message;
}

namespace kivo::diag {

class JsonObjectWriter;
// The keys of `kivo-diag message`, shared with `kivo-diag check`.
void write_message_fields(JsonObjectWriter& json, const Message& message);

using Arguments = std::vector<std::string>;

// One subcommand of kivo-diag: its arguments after the name, standard
// output and error. Returns the exit code: 0 done, 1 failed, 2 bad usage.
struct Subcommand {
    const char* name;
    const char* usage;
    int (*run)(const Arguments& args, std::ostream& out, std::ostream& err);
};

int run_message(const Arguments& args, std::ostream& out, std::ostream& err);
int run_classify(const Arguments& args, std::ostream& out, std::ostream& err);
int run_accounts(const Arguments& args, std::ostream& out, std::ostream& err);
int run_check(const Arguments& args, std::ostream& out, std::ostream& err);

// Every subcommand, in the order the usage lists them.
const std::vector<Subcommand>& subcommands();

}  // namespace kivo::diag
