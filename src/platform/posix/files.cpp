#include "platform/files.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kivo::platform {

bool append_to_file_shared_read(const std::string& path, const char* data, std::size_t size)
{
    // POSIX has no share modes; appending with O_APPEND keeps concurrent
    // writers from overwriting each other's lines.
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = true;
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    ::close(fd);
    return ok;
}

}  // namespace kivo::platform
