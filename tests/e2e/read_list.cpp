// Prints the rows of a list view in another process's window, one line per
// row, the columns' texts separated by tabs, the way a user reads them; for
// an edit or static control (a message box's text, say), its text:
//   read_list.exe TITLE CONTROL_ID [edit|static]
// Exit code 0 when the control was found (even with no rows).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Search {
    int id;
    const char* class_name;
    HWND found;
};

BOOL CALLBACK find_child(HWND child, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (GetDlgCtrlID(child) == search->id && lstrcmpiA(name, search->class_name) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// Memory in the list's process for one LVITEM and its text.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t size) : process_(process)
    {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer()
    {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    char* get() const { return static_cast<char*>(address_); }

private:
    HANDLE process_;
    void* address_ = nullptr;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4)
        return 2;
    HWND window = FindWindowA(nullptr, argv[1]);
    if (!window)
        return 1;
    std::string kind = argc == 4 ? argv[3] : "";
    bool edit = kind == "edit" || kind == "static";
    Search search{std::atoi(argv[2]), kind == "static" ? "Static" : edit ? "Edit" : WC_LISTVIEWA, nullptr};
    EnumChildWindows(window, find_child, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return 1;
    if (edit) {
        // WM_GETTEXT is carried across processes by the system itself.
        char text[4096] = {};
        SendMessageA(search.found, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        std::printf("%s\n", text);
        return 0;
    }
    HWND list = search.found;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return 1;
    constexpr std::size_t kText = 1024;
    {
        RemoteBuffer remote(process, sizeof(LVITEMA) + kText);
        if (!remote.get())
            return 1;
        int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
        for (int row = 0; row < rows; ++row) {
            std::string line;
            for (int column = 0; column < columns; ++column) {
                LVITEMA item{};
                item.iSubItem = column;
                item.cchTextMax = static_cast<int>(kText);
                item.pszText = remote.get() + sizeof(LVITEMA);
                SIZE_T moved = 0;
                WriteProcessMemory(process, remote.get(), &item, sizeof item, &moved);
                SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.get()));
                char text[kText] = {};
                ReadProcessMemory(process, remote.get() + sizeof(LVITEMA), text, kText - 1, &moved);
                if (column)
                    line += '\t';
                line += text;
            }
            std::printf("%s\n", line.c_str());
        }
    }
    CloseHandle(process);
    return 0;
}
