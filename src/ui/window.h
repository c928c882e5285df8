// Base of every window of the program: one window procedure finds the C++
// object behind the HWND and hands it the message.
#pragma once

#include <windows.h>

#include <string>

namespace norvane {

// The text (caption) of any window.
std::string WindowTextOf(HWND window);
// The text of line `index` of a list box; empty for no such line.
std::string ListBoxLineOf(HWND list, int index);

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }
    // The object behind a window of the program's own classes, else nullptr.
    static Window* FromHandle(HWND hwnd);
    // Offered every key press for the window's dialogs before the control
    // with the focus sees it; true when it was taken.
    virtual bool PreviewKey(WPARAM /*key*/) { return false; }

  protected:
    // Registers `className` once per process with this base's procedure.
    static void RegisterClassOnce(const char* className, HICON icon);
    // Creates the window with `this` as its object.
    void Create(const char* className, const char* caption, DWORD style, DWORD exStyle,
                const RECT& bounds, HWND owner, HMENU menu);

    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

}  // namespace norvane
