#include "platform/program_folder.h"

#include <mutex>
#include <unistd.h>

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
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return "./";
    path.resize(static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

void set_program_folder_for_tests(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override = folder;
}

}  // namespace kivo::platform
