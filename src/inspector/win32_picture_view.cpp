#include "inspector/win32_picture_view.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "clipboard/win32_clipboard_picture.h"
#include "inspector/encoded_picture.h"
#include "ui/guard.h"

namespace norvane {

// The metafile a view shows, made at its first play from bytes `make`
// holds. Plays run one after the other on the worker, the only thread that
// touches it; whichever thread lets go of it last deletes it.
struct MetafileSource {
    explicit MetafileSource(std::function<UniqueEnhMetafile()> maker) : make(std::move(maker)) {}
    HENHMETAFILE Get() {
        if (make) {
            metafile = make();
            make = nullptr;  // its share of the bytes goes
        }
        return metafile.get();
    }
    std::function<UniqueEnhMetafile()> make;
    UniqueEnhMetafile metafile;
};

namespace {

constexpr int kLineStep = 16;
// The worker's work done, its lParam for Worker::Take.
constexpr UINT kWorkDoneMessage = WM_APP + 1;

bool SameSize(SIZE a, SIZE b) {
    return a.cx == b.cx && a.cy == b.cy;
}

// Where the metafile plays in an area of `size`: its largest part of the
// metafile's aspect, centred.
RECT MetafilePlace(const ENHMETAHEADER& header, SIZE size) {
    const RECT whole{0, 0, size.cx, size.cy};
    // Its frame (hundredths of a millimetre) gives the aspect, else its bounds (pixels).
    std::int64_t width = std::int64_t{header.rclFrame.right} - header.rclFrame.left;
    std::int64_t height = std::int64_t{header.rclFrame.bottom} - header.rclFrame.top;
    if (width <= 0 || height <= 0) {
        width = std::int64_t{header.rclBounds.right} - header.rclBounds.left + 1;
        height = std::int64_t{header.rclBounds.bottom} - header.rclBounds.top + 1;
    }
    if (width <= 0 || height <= 0) return whole;  // no aspect to keep
    const std::int64_t areaWidth = size.cx, areaHeight = size.cy;
    std::int64_t fitWidth = areaWidth, fitHeight = areaHeight;
    if (width * areaHeight <= height * areaWidth)
        fitWidth = width * areaHeight / height;
    else
        fitHeight = height * areaWidth / width;
    const auto left = static_cast<LONG>((areaWidth - fitWidth) / 2);
    const auto top = static_cast<LONG>((areaHeight - fitHeight) / 2);
    return {left, top, left + static_cast<LONG>(fitWidth), top + static_cast<LONG>(fitHeight)};
}

class Decoding final : public WorkItem {
  public:
    explicit Decoding(std::function<DecodedForView(const DecodeCancelled&)> decode)
        : decode_(std::move(decode)) {}
    void Run(const WorkCancel& cancelled) override {
        result = decode_([&cancelled] { return cancelled(); });
        // Its share of the reading may be the last: freed here, on the
        // worker, as soon as the decode stops, not with the next picture.
        decode_ = nullptr;
    }
    DecodedForView result;

  private:
    std::function<DecodedForView(const DecodeCancelled&)> decode_;
};

struct PlayProgress {
    const WorkCancel& cancelled;
    MetafilePlayBound bound;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::uint32_t played = 0;
    bool cut = false;  // stopped at the bound
};

int CALLBACK PlayRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record, int handles,
                        LPARAM data) {
    auto& progress = *reinterpret_cast<PlayProgress*>(data);
    if (progress.played > 0 && progress.played % kRecordsBetweenCancelChecks == 0) {
        if (progress.cancelled()) return 0;
        if (std::chrono::steady_clock::now() - progress.start >= progress.bound.time) {
            progress.cut = true;
            return 0;
        }
    }
    if (progress.played >= progress.bound.records) {
        progress.cut = true;
        return 0;
    }
    PlayEnhMetaFileRecord(dc, table, record, static_cast<UINT>(handles));
    ++progress.played;
    return 1;
}

// The metafile played record by record into a top-down 32-bit section of
// the view's size, which keeps the colours played whatever the screen's depth.
class MetafilePlay final : public WorkItem {
  public:
    MetafilePlay(std::shared_ptr<MetafileSource> source, SIZE area, MetafilePlayBound bound)
        : size(area), source_(std::move(source)), bound_(bound) {}
    void Run(const WorkCancel& cancelled) override {
        const HENHMETAFILE metafile = source_->Get();
        made = metafile != nullptr;
        if (!made) return;
        ENHMETAHEADER header{};
        GetEnhMetaFileHeader(metafile, sizeof header, &header);
        records = header.nRecords;
        const BITMAPINFOHEADER info = TopDown32Header(size.cx, size.cy);
        void* bits = nullptr;
        UniqueBitmap section(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                              DIB_RGB_COLORS, &bits, nullptr, 0));
        UniqueMemoryDC memory(CreateCompatibleDC(nullptr));
        if (!section || !memory) return;
        {
            // The whole area, so that what the records draw past the fitted
            // place shows as it would played straight into the view.
            SelectedObject selected(memory.get(), section.get());
            const RECT whole{0, 0, size.cx, size.cy};
            FillRect(memory.get(), &whole, GetSysColorBrush(COLOR_APPWORKSPACE));
            const RECT place = MetafilePlace(header, size);
            FillRect(memory.get(), &place, GetSysColorBrush(COLOR_WINDOW));
            PlayProgress progress{cancelled, bound_};
            EnumEnhMetaFile(memory.get(), metafile, &PlayRecord, &progress, &place);
            played = progress.played;
            cut = progress.cut;
        }
        GdiFlush();  // all drawn before the window's thread copies from it
        bitmap = std::move(section);
    }

    SIZE size;
    bool made = false;    // the system took its records
    UniqueBitmap bitmap;  // null when no bitmap of that size could be made
    std::uint32_t played = 0, records = 0;
    bool cut = false;

  private:
    std::shared_ptr<MetafileSource> source_;
    MetafilePlayBound bound_;
};

PictureReport ReportOf(const MetafilePlay& play) {
    if (play.failed) return {false, NotDecodedLine("it could not be played")};
    if (!play.made) return {false, NotDecodedLine("the system does not take its records")};
    if (!play.bitmap)
        return {false,
                NotDecodedLine("there is not enough memory for a bitmap of the view's size")};
    if (!play.cut) return {true, ""};
    return {true, "\r\nPlayed the first " + std::to_string(play.played) + " of " +
                      std::to_string(play.records) + " records."};
}

}  // namespace

PictureView::PictureView(MessageDialog& messages, HWND parent, const RECT& bounds)
    : messages_(messages) {
    RegisterClassOnce(kClassName, nullptr);
    Create(kClassName, "", WS_CHILD | WS_HSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
           bounds, parent, nullptr);
    worker_.emplace(Handle(), kWorkDoneMessage);
    UpdateScrollBars();
}

bool PictureView::SetPicture(std::span<const std::uint8_t> bytes) {
    Clear();
    return ShowDib(bytes);
}

void PictureView::SetDecoding(std::function<DecodedForView(const DecodeCancelled&)> decode) {
    Clear();
    pending_ = kDecodingText;
    worker_->Start(std::make_unique<Decoding>(std::move(decode)));
}

void PictureView::SetMetafile(std::function<UniqueEnhMetafile()> make) {
    Clear();
    metafile_ = std::make_shared<MetafileSource>(std::move(make));
    pending_ = kPlayingText;
    PlayForSize();
}

void PictureView::Clear() {
    worker_->Cancel();
    pending_ = nullptr;
    playing_ = false;
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

SIZE PictureView::ClientSize() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return {std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)};
}

void PictureView::PlayForSize() {
    if (!metafile_) return;
    const SIZE size = ClientSize();
    if (playing_ ? SameSize(playingSize_, size) : played_ && SameSize(playedSize_, size)) return;
    playing_ = true;
    playingSize_ = size;
    ++metafilePlays_;
    worker_->Start(std::make_unique<MetafilePlay>(metafile_, size, bound_));
}

void PictureView::TakeWork(LPARAM posted) {
    std::unique_ptr<WorkItem> work = worker_->Take(posted);
    if (!work) return;  // cancelled: another picture, or none, is shown now
    pending_ = nullptr;
    if (auto* play = dynamic_cast<MetafilePlay*>(work.get())) {
        playing_ = false;
        PictureReport report = ReportOf(*play);
        played_ = std::move(play->bitmap);
        playedSize_ = play->size;
        Report(std::move(report));
        return;
    }
    auto& decoding = static_cast<Decoding&>(*work);
    PictureReport report;
    if (decoding.failed) {
        report.headerLines = NotDecodedLine("its decoder failed");
    } else {
        report.headerLines = std::move(decoding.result.headerLines);
        decoded_ = std::move(decoding.result.dib);
        if (!decoded_.empty()) report.shown = ShowDib(decoded_);
    }
    Report(std::move(report));
}

void PictureView::Report(PictureReport report) {
    InvalidateRect(Handle(), nullptr, TRUE);
    if (report_) report_(report);
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

void PictureView::DrawPending(HDC dc, const RECT& area, const char* text) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, 8, 8, text, static_cast<int>(std::strlen(text)));
    RestoreDC(dc, saved);
}

void PictureView::Draw(HDC dc, const RECT& area) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_APPWORKSPACE));
    if (metafile_ && played_) {
        // As played, also while one for a new size is under way.
        RECT part{};
        const RECT bitmap{0, 0, playedSize_.cx, playedSize_.cy};
        if (!IntersectRect(&part, &area, &bitmap)) return;
        UniqueMemoryDC memory(CreateCompatibleDC(dc));
        SelectedObject selected(memory.get(), played_.get());
        BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
               memory.get(), part.left, part.top, SRCCOPY);
        return;
    }
    if (pending_) {
        DrawPending(dc, area, pending_);
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
        const BITMAPINFOHEADER info = TopDown32Header(width, height);
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
                if (metafile_) {
                    PlayForSize();  // fitted anew; the last one shows meanwhile
                    InvalidateRect(Handle(), nullptr, FALSE);
                }
                break;
            case kWorkDoneMessage:
                TakeWork(lParam);
                break;
            case WM_DESTROY:
                worker_->Cancel();  // nothing more comes to a window gone
                handled = false;
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
