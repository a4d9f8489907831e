#include "win32/dialog_script.h"

namespace kivo::test {
namespace {
constexpr UINT kStep = WM_APP + 77;
}

DialogScript::DialogScript() : class_(GetModuleHandleA(nullptr))
{
    CreateArgs args;
    args.style = 0;
    args.parent = HWND_MESSAGE;
    create(class_, args);
}

DialogScript::~DialogScript()
{
    destroy();
}

DialogScript& DialogScript::then(std::function<void()> step)
{
    steps_.push_back(std::move(step));
    return *this;
}

void DialogScript::start()
{
    PostMessageA(hwnd(), kStep, 0, 0);
}

LRESULT DialogScript::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != kStep)
        return default_handling(message, wparam, lparam);
    if (next_ < steps_.size()) {
        try {
            steps_[next_]();
        } catch (...) {
            failed_ = true;
        }
        ++next_;
        if (next_ < steps_.size())
            PostMessageA(hwnd(), kStep, 0, 0);
    }
    return 0;
}

void pump(const std::function<void(MSG&)>& process)
{
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        process(msg);
    }
}

}  // namespace kivo::test
