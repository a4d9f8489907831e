#pragma once
#include <string>

namespace kivo {

// "None" from the message table (a translated table gives a translated
// default); looked up once.
const std::string& none_text();

}  // namespace kivo
