// Started by the tests as a "mail client": leaves <its own path>.ran with its
// command line in it, so the test sees which program ran and with what.
#include <windows.h>

#include <cstdio>

int main()
{
    char path[MAX_PATH + 8] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    lstrcatA(path, ".ran");
    std::FILE* out = std::fopen(path, "w");
    if (!out)
        return 1;
    std::fputs(GetCommandLineA(), out);
    std::fclose(out);
    return 0;
}
