#include "filter/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace kivo::filter {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::error_code last_error(int fallback = EIO)
{
    return std::error_code(errno != 0 ? errno : fallback, std::generic_category());
}

bool write_all(const std::string& path, const std::string& bytes, std::error_code& error)
{
    errno = 0;
    std::FILE* raw = std::fopen(path.c_str(), "wb");
    if (!raw) {
        error = last_error();
        return false;
    }
    File file(raw);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        error = last_error();
        return false;
    }
    if (std::fflush(file.get()) != 0) {
        error = last_error();
        return false;
    }
    // Closing flushes the last of it; a failure here means the data is not whole.
    if (std::fclose(file.release()) != 0) {
        error = last_error();
        return false;
    }
    return true;
}

// Renames the finished temporary file over the target. POSIX replaces in one
// step; the Windows C library refuses to rename over an existing file, so
// the old file steps aside first and comes back if the new one cannot take
// its place.
bool move_over(const std::string& from, const std::string& to, std::error_code& error)
{
    errno = 0;
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    error = last_error();
    std::string aside = to + ".old";
    std::remove(aside.c_str());
    if (std::rename(to.c_str(), aside.c_str()) != 0)
        return false;  // the target is still in place; report the first reason
    errno = 0;
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        error = last_error();
        std::rename(aside.c_str(), to.c_str());
        return false;
    }
    std::remove(aside.c_str());
    error.clear();
    return true;
}

}  // namespace

bool read_whole_file(const std::string& path, std::string& bytes, std::error_code& error)
{
    errno = 0;
    std::FILE* raw = std::fopen(path.c_str(), "rb");
    if (!raw) {
        error = last_error(ENOENT);
        return false;
    }
    File file(raw);
    std::string out;
    char buffer[16384];
    for (;;) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        out.append(buffer, n);
        if (n < sizeof buffer)
            break;
    }
    if (std::ferror(file.get())) {
        error = last_error();
        return false;
    }
    bytes = std::move(out);
    return true;
}

bool read_whole_file(const std::string& path, std::string& bytes)
{
    std::error_code ignored;
    return read_whole_file(path, bytes, ignored);
}

bool replace_file(const std::string& path, const std::string& bytes, std::error_code& error)
{
    std::string temp = path + ".tmp";
    if (!write_all(temp, bytes, error) || !move_over(temp, path, error)) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool replace_file(const std::string& path, const std::string& bytes, ErrorReporter& reporter)
{
    std::error_code error;
    if (replace_file(path, bytes, error))
        return true;
    reporter.report_system_error(path, error);
    return false;
}

}  // namespace kivo::filter
