#pragma once
#include <map>
#include <string>

namespace kivo {

// One MIME entity's Content-Type and Content-Disposition, as far as the
// attachment detection needs them. Texts are stored as written; parameter
// names are lower-case.
struct MimePart {
    std::string disposition;
    std::map<std::string, std::string> disposition_parameters;
    std::string type;
    std::string subtype;
    std::string delimiter;        // "--" boundary, or empty
    std::string close_delimiter;  // "--" boundary "--", or empty
    std::map<std::string, std::string> type_parameters;
};

}  // namespace kivo
