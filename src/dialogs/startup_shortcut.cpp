#include "dialogs/startup_shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

namespace kivo::dialogs {
namespace {

// COM for the duration of one call, on whatever apartment the thread has.
struct ComScope {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
};

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr()
    {
        if (p)
            p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

std::wstring wide(const std::string& text)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), size);
    out.resize(out.size() - 1);
    return out;
}

std::string own_executable()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD got = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0)
            return {};
        if (got < buffer.size())
            return std::string(buffer.data(), got);
        buffer.resize(buffer.size() * 2);
    }
}

bool save_link(const std::string& file, const std::string& target)
{
    ComScope com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.out()))))
        return false;
    if (FAILED(link->SetPath(target.c_str())) || FAILED(link->SetDescription("Kivo")))
        return false;
    ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.out()))))
        return false;
    return SUCCEEDED(persist->Save(wide(file).c_str(), TRUE));
}

}  // namespace

ShellStartupShortcut::ShellStartupShortcut(std::string folder, std::string target) : target_(std::move(target))
{
    if (folder.empty()) {
        char startup[MAX_PATH] = {};
        if (SHGetSpecialFolderPathA(nullptr, startup, CSIDL_STARTUP, TRUE))
            folder = startup;
    }
    if (!folder.empty())
        path_ = folder + "\\kivo.lnk";
    if (target_.empty())
        target_ = own_executable();
}

bool ShellStartupShortcut::write()
{
    if (path_.empty() || target_.empty())
        return false;
    std::string fresh = path_ + ".new";
    DeleteFileA(fresh.c_str());
    if (!save_link(fresh, target_)) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    if (!MoveFileExA(fresh.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    return true;
}

bool ShellStartupShortcut::remove()
{
    if (path_.empty())
        return true;  // no Startup folder: no link either
    return DeleteFileA(path_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool read_shortcut(const std::string& path, std::string& target, std::string& description)
{
    ComScope com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.out()))))
        return false;
    ComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.out()))) ||
        FAILED(persist->Load(wide(path).c_str(), STGM_READ)))
        return false;
    char buffer[MAX_PATH] = {};
    if (FAILED(link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return false;
    target = buffer;
    char words[MAX_PATH] = {};
    if (FAILED(link->GetDescription(words, MAX_PATH)))
        return false;
    description = words;
    return true;
}

}  // namespace kivo::dialogs
