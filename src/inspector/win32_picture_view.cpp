#include "inspector/win32_picture_view.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <utility>

#include "ui/guard.h"

namespace norvane {
namespace {

constexpr int kLineStep = 16;

BITMAPINFOHEADER TopDown32(int width, int height) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    return info;
}

}  // namespace

PictureView::PictureView(MessageDialog& messages, HWND parent, const RECT& bounds)
    : messages_(messages) {
    RegisterClassOnce(kClassName, nullptr);
    Create(kClassName, "", WS_CHILD | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
           bounds, parent, nullptr);
    UpdateScrollBars();
}

bool PictureView::SetPicture(std::span<const std::uint8_t> bytes) {
    Clear();
    return ShowDib(bytes);
}

bool PictureView::SetDecoded(std::vector<std::uint8_t> dib) {
    Clear();
    decoded_ = std::move(dib);
    return ShowDib(decoded_);
}

void PictureView::SetMetafile(UniqueEnhMetafile metafile) {
    Clear();
    metafile_ = std::move(metafile);
}

void PictureView::Clear() {
    bytes_ = {};
    header_.reset();
    alpha_.reset();
    decoded_ = {};  // its memory goes now, not at the next picture
    metafile_.reset();
    played_.reset();
    x_ = y_ = 0;
    UpdateScrollBars();
    InvalidateRect(Handle(), nullptr, TRUE);
}

bool PictureView::ShowDib(std::span<const std::uint8_t> bytes) {
    const auto reading = ReadDibHeader(bytes);
    // Compressed rows (run lengths, JPEG, PNG) are left to the hex dump.
    if (reading.header && reading.problem.empty() && reading.header->HasPlainRows()) {
        bytes_ = bytes;
        header_ = reading.header;
        alpha_ = AlphaMasksOf(*header_, bytes_);
    }
    UpdateScrollBars();
    InvalidateRect(Handle(), nullptr, TRUE);
    return header_.has_value();
}

int PictureView::Width() const {
    return header_ ? header_->width : 0;
}

int PictureView::Height() const {
    if (!header_) return 0;
    return header_->height < 0 ? -header_->height : header_->height;
}

void PictureView::ScrollTo(int x, int y) {
    RECT client{};
    GetClientRect(Handle(), &client);
    x = std::clamp(x, 0, std::max(0, Width() - static_cast<int>(client.right)));
    y = std::clamp(y, 0, std::max(0, Height() - static_cast<int>(client.bottom)));
    if (x == x_ && y == y_) return;
    x_ = x;
    y_ = y;
    UpdateScrollBars();
    InvalidateRect(Handle(), nullptr, FALSE);
}

void PictureView::UpdateScrollBars() {
    RECT client{};
    GetClientRect(Handle(), &client);
    for (const auto& [bar, size, page, pos] : {std::tuple{SB_HORZ, Width(), client.right, x_},
                                               std::tuple{SB_VERT, Height(), client.bottom, y_}}) {
        SCROLLINFO info{sizeof info,
                        SIF_RANGE | SIF_PAGE | SIF_POS,
                        0,
                        std::max(0, size - 1),
                        static_cast<UINT>(std::max<LONG>(page, 1)),
                        pos,
                        0};
        SetScrollInfo(Handle(), bar, &info, TRUE);
    }
}

RECT PictureView::MetafilePlace() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile_.get(), sizeof header, &header);
    // Its frame (hundredths of a millimetre) gives the aspect, else its bounds (pixels).
    std::int64_t width = std::int64_t{header.rclFrame.right} - header.rclFrame.left;
    std::int64_t height = std::int64_t{header.rclFrame.bottom} - header.rclFrame.top;
    if (width <= 0 || height <= 0) {
        width = std::int64_t{header.rclBounds.right} - header.rclBounds.left + 1;
        height = std::int64_t{header.rclBounds.bottom} - header.rclBounds.top + 1;
    }
    if (width <= 0 || height <= 0) return client;  // no aspect to keep
    const std::int64_t areaWidth = client.right, areaHeight = client.bottom;
    std::int64_t fitWidth = areaWidth, fitHeight = areaHeight;
    if (width * areaHeight <= height * areaWidth)
        fitWidth = width * areaHeight / height;
    else
        fitHeight = height * areaWidth / width;
    const auto left = static_cast<LONG>((areaWidth - fitWidth) / 2);
    const auto top = static_cast<LONG>((areaHeight - fitHeight) / 2);
    return {left, top, left + static_cast<LONG>(fitWidth), top + static_cast<LONG>(fitHeight)};
}

bool PictureView::EnsureMetafilePlayed(SIZE size) {
    if (played_ && playedSize_.cx == size.cx && playedSize_.cy == size.cy) return true;
    played_.reset();
    // A top-down 32-bit section keeps the colours played whatever the screen's depth.
    const BITMAPINFOHEADER info = TopDown32(size.cx, size.cy);
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                         DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDC memory(CreateCompatibleDC(nullptr));
    if (!bitmap || !memory) return false;
    {
        // The whole client area, so that what the records draw past the
        // fitted place shows as it would played straight into the view.
        SelectedObject selected(memory.get(), bitmap.get());
        const RECT whole{0, 0, size.cx, size.cy};
        FillRect(memory.get(), &whole, GetSysColorBrush(COLOR_APPWORKSPACE));
        PlayMetafile(memory.get());
    }
    played_ = std::move(bitmap);
    playedSize_ = size;
    return true;
}

void PictureView::PlayMetafile(HDC dc) {
    const RECT place = MetafilePlace();
    FillRect(dc, &place, GetSysColorBrush(COLOR_WINDOW));
    PlayEnhMetaFile(dc, metafile_.get(), &place);
    ++metafilePlays_;
}

void PictureView::Draw(HDC dc, const RECT& area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_APPWORKSPACE));
    if (metafile_) {
        RECT client{}, part{};
        GetClientRect(Handle(), &client);
        if (!IntersectRect(&part, &area, &client)) return;
        if (EnsureMetafilePlayed(SIZE{client.right, client.bottom})) {
            UniqueMemoryDC memory(CreateCompatibleDC(dc));
            SelectedObject selected(memory.get(), played_.get());
            BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
                   memory.get(), part.left, part.top, SRCCOPY);
            return;
        }
        // No memory for the bitmap: played straight, clipped to the area.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        PlayMetafile(dc);
        RestoreDC(dc, saved);
        return;
    }
    if (!header_) return;
    // The part of the picture within the area, in picture coordinates.
    const RECT picture{-x_, -y_, Width() - x_, Height() - y_};
    RECT part{};
    if (!IntersectRect(&part, &area, &picture)) return;
    const int px = part.left + x_, py = part.top + y_;
    const int width = part.right - part.left, height = part.bottom - part.top;
    if (alpha_) {
        const auto pixels =
            ComposeOverCheckerboard(*header_, bytes_, *alpha_, px, py, width, height);
        const BITMAPINFOHEADER info = TopDown32(width, height);
        SetDIBitsToDevice(dc, part.left, part.top, static_cast<DWORD>(width),
                          static_cast<DWORD>(height), 0, 0, 0, static_cast<UINT>(height),
                          pixels.data(), reinterpret_cast<const BITMAPINFO*>(&info),
                          DIB_RGB_COLORS);
        return;
    }
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes_.data());
    const void* bits = bytes_.data() + header_->BitsOffset();
    if (header_->height > 0) {
        // A bottom-up DIB's source rows are counted from its bottom.
        SetDIBitsToDevice(dc, part.left, part.top, static_cast<DWORD>(width),
                          static_cast<DWORD>(height), px, Height() - py - height, 0,
                          static_cast<UINT>(Height()), bits, info, DIB_RGB_COLORS);
        return;
    }
    // A top-down one whole, clipped to the part.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, part.left, part.top, part.right, part.bottom);
    SetDIBitsToDevice(dc, -x_, -y_, static_cast<DWORD>(Width()), static_cast<DWORD>(Height()), 0, 0,
                      0, static_cast<UINT>(Height()), bits, info, DIB_RGB_COLORS);
    RestoreDC(dc, saved);
}

void PictureView::OnScroll(int bar, WORD request) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(Handle(), bar, &info);
    int pos = info.nPos;
    const int page = static_cast<int>(info.nPage);
    switch (request) {
        case SB_LINEUP:
            pos -= kLineStep;
            break;
        case SB_LINEDOWN:
            pos += kLineStep;
            break;
        case SB_PAGEUP:
            pos -= page;
            break;
        case SB_PAGEDOWN:
            pos += page;
            break;
        case SB_TOP:
            pos = 0;
            break;
        case SB_BOTTOM:
            pos = info.nMax;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.nTrackPos;
            break;
        default:
            return;
    }
    if (bar == SB_HORZ)
        ScrollTo(pos, y_);
    else
        ScrollTo(x_, pos);
}

void PictureView::OnWheel(int delta, bool sideways) {
    // Three lines a notch, as the system's lists scroll; a part of a notch
    // waits for the rest.
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ -= notches * WHEEL_DELTA;
    // A turn away from the user (a positive delta) goes up, or left.
    const int step = notches * 3 * kLineStep;
    if (sideways)
        ScrollTo(x_ - step, y_);
    else
        ScrollTo(x_, y_ - step);
}

void PictureView::OnKey(WPARAM key) {
    RECT client{};
    GetClientRect(Handle(), &client);
    switch (key) {
        case VK_UP:
            ScrollTo(x_, y_ - kLineStep);
            break;
        case VK_DOWN:
            ScrollTo(x_, y_ + kLineStep);
            break;
        case VK_LEFT:
            ScrollTo(x_ - kLineStep, y_);
            break;
        case VK_RIGHT:
            ScrollTo(x_ + kLineStep, y_);
            break;
        case VK_PRIOR:
            ScrollTo(x_, y_ - std::max<int>(client.bottom, 1));
            break;
        case VK_NEXT:
            ScrollTo(x_, y_ + std::max<int>(client.bottom, 1));
            break;
        case VK_HOME:
            ScrollTo(0, 0);
            break;
        case VK_END:
            ScrollTo(x_, Height());
            break;
        default:
            break;
    }
}

LRESULT PictureView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = true;
    RunGuarded(messages_, [&] {
        switch (message) {
            case WM_PAINT: {
                const PaintScope paint(Handle());
                Draw(paint.dc(), paint.area());
                break;
            }
            case WM_ERASEBKGND:
                result = 1;  // painted whole in WM_PAINT
                break;
            case WM_SIZE:
                ScrollTo(x_, y_);
                UpdateScrollBars();
                if (metafile_) InvalidateRect(Handle(), nullptr, FALSE);  // fitted anew
                break;
            case WM_MOUSEWHEEL:
                OnWheel(GET_WHEEL_DELTA_WPARAM(wParam),
                        (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0);
                break;
            case WM_MOUSEHWHEEL:
                // Tilted right: a positive delta, which scrolls right.
                OnWheel(-GET_WHEEL_DELTA_WPARAM(wParam), true);
                break;
            case WM_KEYDOWN:
                OnKey(wParam);
                break;
            case WM_GETDLGCODE:
                result = DLGC_WANTARROWS;  // the arrows scroll, not move the focus
                break;
            case WM_HSCROLL:
                OnScroll(SB_HORZ, LOWORD(wParam));
                break;
            case WM_VSCROLL:
                OnScroll(SB_VERT, LOWORD(wParam));
                break;
            case WM_LBUTTONDOWN:
                SetFocus(Handle());
                break;
            default:
                handled = false;
        }
    });
    return handled ? result : Window::OnMessage(message, wParam, lParam);
}

}  // namespace norvane
