// kivo-diag: shows how Kivo reads things, one subcommand per subject.
#include <iostream>

#include "subcommands.h"

namespace kivo::diag {

const std::vector<Subcommand>& subcommands()
{
    static const std::vector<Subcommand> all = {
        {"message", "message FILE [--lines N] [--size N] [--codepage 1251] [--decimal ,]", run_message},
        {"classify", "classify DIR FILE... [--check-friends yes|no] [--check-spammers yes|no]", run_classify},
        {"accounts", "accounts [--add NAME --host HOST --user USER [--password P] [--port N] [--interval SECONDS] [--no-apop] [--keep-existing]]", run_accounts},
        {"check", "check HOST PORT USER [--no-apop] [--no-pipelining] [--tls|--stls] [--trust-fingerprint HEX] [--lines N] [--timeout SECONDS]", run_check},
    };
    return all;
}

}  // namespace kivo::diag

namespace {

void usage(std::ostream& err)
{
    err << "usage:\n";
    for (const auto& command : kivo::diag::subcommands())
        err << "  kivo-diag " << command.usage << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        usage(std::cerr);
        return 2;
    }
    const std::string name = argv[1];
    for (const auto& command : kivo::diag::subcommands()) {
        if (name == command.name) {
            kivo::diag::Arguments args(argv + 2, argv + argc);
            try {
                return command.run(args, std::cout, std::cerr);
            } catch (const std::exception& e) {
                std::cerr << "kivo-diag " << name << ": " << e.what() << "\n";
                return 1;
            }
        }
    }
    std::cerr << "kivo-diag: unknown subcommand '" << name << "'\n";
    usage(std::cerr);
    return 2;
}
