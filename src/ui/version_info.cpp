#include "ui/version_info.h"

#include <cstdio>
#include <vector>

namespace kivo::ui {

std::string version_value(HMODULE module, const char* name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return {};
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data()))
        return {};

    struct Translation {
        WORD language;
        WORD code_page;
    };
    Translation* translations = nullptr;
    UINT bytes = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &bytes) ||
        bytes < sizeof(Translation))
        return {};

    char query[128];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translations[0].language,
                  translations[0].code_page, name);
    char* value = nullptr;
    UINT chars = 0;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &chars) || chars == 0)
        return {};
    // The count includes the terminating NUL.
    return std::string(value, chars - (value[chars - 1] == '\0' ? 1 : 0));
}

}  // namespace kivo::ui
