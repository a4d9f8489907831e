#include "platform/program_folder.h"

#include <mutex>
#include <windows.h>

namespace kivo::platform {
namespace {
std::mutex g_mutex;
std::string g_override;
}  // namespace

std::string program_folder()
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_override.empty())
            return g_override;
    }
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return ".\\";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
    return path.substr(0, path.find_last_of("\\/") + 1);
}

void set_program_folder_for_tests(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override = folder;
}

}  // namespace kivo::platform
