#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kivo::platform {
namespace {

bool write_all(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes, unsigned& error)
{
    error = 0;
    std::string temp = path + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = static_cast<unsigned>(errno);
        return false;
    }
    bool ok = write_all(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    if (!ok)
        error = static_cast<unsigned>(errno ? errno : EIO);
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = static_cast<unsigned>(errno);
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = static_cast<unsigned>(errno);
    }
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

bool read_whole_file(const std::string& path, std::string& bytes, unsigned& error)
{
    error = 0;
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = static_cast<unsigned>(errno);
        return false;
    }
    char chunk[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            error = static_cast<unsigned>(errno);
            break;
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ok;
}

std::string system_error_text(unsigned error) { return std::strerror(static_cast<int>(error)); }

}  // namespace kivo::platform
