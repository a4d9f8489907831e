#include "platform/program_folder.h"

#include <mutex>

namespace kivo::platform {

// The executable's own folder; in posix/ and win32/.
std::string executable_folder();

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
    return executable_folder();
}

void set_program_folder_for_tests(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override = folder;
}

}  // namespace kivo::platform
