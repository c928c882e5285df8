#include "ui/application.h"

#include <utility>

#include "ui/window.h"

namespace norvane {
namespace {

std::string& Title() {
    static std::string title = [] {
        // Until the program names itself, the title is the executable's name.
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string name = path;
        name = name.substr(name.find_last_of("\\/") + 1);
        return name.substr(0, name.find('.'));
    }();
    return title;
}

void Dispatch(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
        if (Window* window = Window::FromHandle(root); window && window->PreviewKey(msg.wParam))
            return;
    if (root && IsDialogMessageA(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

}  // namespace

const std::string& ApplicationTitle() {
    return Title();
}
void SetApplicationTitle(std::string title) {
    Title() = std::move(title);
}

bool PumpMessage(MessageSource next) {
    MSG msg;
    const BOOL got = next(&msg, nullptr, 0, 0);
    if (got == -1) return false;  // nothing was read into msg
    if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    Dispatch(msg);
    return true;
}

int RunMessageLoop(MessageSource next) {
    MSG msg;
    for (;;) {
        const BOOL got = next(&msg, nullptr, 0, 0);
        if (got == -1) return -1;  // nothing was read into msg
        if (got == 0) return static_cast<int>(msg.wParam);
        Dispatch(msg);
    }
}

void AnswerUntil(const std::function<bool()>& done, const std::function<void()>& turn) {
    constexpr DWORD kTurnMs = 20;
    while (!done()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kTurnMs, QS_ALLINPUT);
        ProcessPendingMessages();
        if (turn) turn();
    }
}

void ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

}  // namespace norvane
