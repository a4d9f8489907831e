#include "platform/file_replace.h"

#include <windows.h>

#include "platform/message_text.h"

namespace kivo::platform {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close()
    {
        bool ok = true;
        if (valid())
            ok = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes, unsigned& error)
{
    error = 0;
    std::string temp = path + ".tmp";
    {
        FileHandle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file.valid()) {
            error = GetLastError();
            return false;
        }
        const char* data = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
            DWORD written = 0;
            if (!WriteFile(file.get(), data, chunk, &written, nullptr) || written == 0) {
                error = GetLastError();
                file.close();
                DeleteFileA(temp.c_str());
                return false;
            }
            data += written;
            left -= written;
        }
        if (!FlushFileBuffers(file.get()) || !file.close()) {
            error = GetLastError();
            DeleteFileA(temp.c_str());
            return false;
        }
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

bool read_whole_file(const std::string& path, std::string& bytes, unsigned& error)
{
    error = 0;
    bytes.clear();
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        error = GetLastError();
        return false;
    }
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
            error = GetLastError();
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(chunk, got);
    }
}

std::string system_error_text(unsigned error) { return message_text(error); }

}  // namespace kivo::platform
