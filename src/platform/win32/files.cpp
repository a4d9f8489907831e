#include "platform/files.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

namespace kivo::platform {

bool append_to_file_shared_read(const std::string& path, const char* data, std::size_t size)
{
    int fd = _sopen(path.c_str(), _O_APPEND | _O_WRONLY | _O_BINARY | _O_CREAT, _SH_DENYWR, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return false;
    bool ok = true;
    while (size > 0) {
        unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
        int n = _write(fd, data, chunk);
        if (n <= 0) {
            ok = false;
            break;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    _close(fd);
    return ok;
}

}  // namespace kivo::platform
