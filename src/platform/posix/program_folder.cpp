#include <string>
#include <unistd.h>

namespace kivo::platform {

std::string executable_folder()
{
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return "./";
    path.resize(static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

}  // namespace kivo::platform
