#include "filter/address_file.h"

#include "filter/safe_file.h"
#include "filter/text_lines.h"
#include "filter/text_match.h"

namespace kivo::filter {

std::vector<std::string> parse_address_file(std::string_view bytes)
{
    std::vector<std::string> addresses;
    for (std::string& line : split_text_lines(bytes))
        if (!line.empty())
            addresses.push_back(std::move(line));
    return addresses;
}

std::vector<std::string> ReadAddresses(const std::string& path)
{
    std::string bytes;
    if (!read_whole_file(path, bytes))
        return {};
    return parse_address_file(bytes);
}

AddressKeys address_keys(const std::vector<std::string>& addresses)
{
    AddressKeys keys;
    for (const std::string& address : addresses)
        if (!address.empty())  // never stored, so never a key
            keys.insert(AddressKey(address));
    return keys;
}

std::string format_address_file(const std::vector<std::string>& addresses)
{
    std::string out;
    for (const std::string& address : addresses) {
        if (address.empty())
            continue;
        out += address;
        out += kLineEnd;
    }
    return out;
}

bool SaveAddresses(const std::string& path, const std::vector<std::string>& addresses, ErrorReporter& reporter)
{
    return replace_file(path, format_address_file(addresses), reporter);
}

bool AppendAddress(const std::string& path, const std::string& address, ErrorReporter& reporter)
{
    std::string bytes;
    unsigned error = 0;
    if (!read_whole_file(path, bytes, error)) {
        if (error != kFileNotFound) {
            reporter.report_system_error(path, error);
            return false;
        }
        bytes.clear();
    }
    if (address.empty())
        return true;
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += kLineEnd;
    bytes += address;
    bytes += kLineEnd;
    return replace_file(path, bytes, reporter);
}

}  // namespace kivo::filter
