#pragma once

namespace kivo {

// Everything the program stores in the registry lives under this key of
// HKEY_CURRENT_USER.
inline constexpr const char* kRegistryRoot = "SOFTWARE\\Kivo, Inc.\\Kivo";
inline constexpr const char* kSettingsKey = "SOFTWARE\\Kivo, Inc.\\Kivo\\Settings";
inline constexpr const char* kAccountsKey = "SOFTWARE\\Kivo, Inc.\\Kivo\\Accounts";
inline constexpr const char* kFilterKey = "SOFTWARE\\Kivo, Inc.\\Kivo\\Filter";

}  // namespace kivo
