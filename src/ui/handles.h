// Owning wrappers for Win32 handles: whatever a routine opens is closed on
// every path out of it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace norvane {

// Traits say how a kind of handle is released and what its empty value is.
template <class Handle, class Traits>
class Unique {
  public:
    Unique() = default;
    explicit Unique(Handle h) : handle_(h) {}
    Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(std::exchange(other.handle_, Traits::Invalid()));
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }
    void reset(Handle h = Traits::Invalid()) {
        if (handle_ != Traits::Invalid()) Traits::Release(handle_);
        handle_ = h;
    }
    Handle release() { return std::exchange(handle_, Traits::Invalid()); }

  private:
    Handle handle_ = Traits::Invalid();
};

struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static void Release(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct KeyTraits {
    static HKEY Invalid() { return nullptr; }
    static void Release(HKEY h) { RegCloseKey(h); }
};

template <class Gdi>
struct GdiTraits {
    static Gdi Invalid() { return nullptr; }
    static void Release(Gdi h) { DeleteObject(h); }
};

struct EnhMetafileTraits {
    static HENHMETAFILE Invalid() { return nullptr; }
    static void Release(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
};

struct MemoryDCTraits {
    static HDC Invalid() { return nullptr; }
    static void Release(HDC h) { DeleteDC(h); }
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Release(HANDLE h) { CloseHandle(h); }
};

using UniqueEnhMetafile = Unique<HENHMETAFILE, EnhMetafileTraits>;
using UniqueFont = Unique<HFONT, GdiTraits<HFONT>>;
using UniqueBitmap = Unique<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = Unique<HBRUSH, GdiTraits<HBRUSH>>;
using UniqueImageList = Unique<HIMAGELIST, ImageListTraits>;
using UniqueKey = Unique<HKEY, KeyTraits>;
using UniqueKernelHandle = Unique<HANDLE, KernelHandleTraits>;
// A memory device context of CreateCompatibleDC.
using UniqueMemoryDC = Unique<HDC, MemoryDCTraits>;

// The window is sent WM_CLIPBOARDUPDATE on each change of the clipboard
// while this lives. A system that refuses leaves it not listening.
class ClipboardListener {
  public:
    explicit ClipboardListener(HWND window)
        : window_(AddClipboardFormatListener(window) ? window : nullptr) {}
    ~ClipboardListener() {
        if (window_) RemoveClipboardFormatListener(window_);
    }
    ClipboardListener(const ClipboardListener&) = delete;
    ClipboardListener& operator=(const ClipboardListener&) = delete;
    bool Listening() const { return window_ != nullptr; }

  private:
    HWND window_;
};

// A device context of a window, released on scope exit.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A window's paint, begun when made and ended on every exit of the scope,
// also when drawing throws: a paint never ended leaves the window's update
// region and the caret as BeginPaint left them.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }  // what needs painting

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A global memory block locked until scope exit; get() is null when the
// lock failed.
class LockedMemory {
  public:
    explicit LockedMemory(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~LockedMemory() {
        if (data_) GlobalUnlock(memory_);
    }
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;
    const void* get() const { return data_; }

  private:
    HGLOBAL memory_;
    void* data_;
};

// A GDI object selected into a device context until scope exit.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A control that is not redrawn while it is filled, and is repainted once
// at scope exit.
class RedrawSuspended {
  public:
    explicit RedrawSuspended(HWND window) : window_(window) {
        SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawSuspended() {
        SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

  private:
    HWND window_;
};

}  // namespace norvane
