#pragma once

#include <mutex>

#include "clipboard/clipboard_service.h"

namespace norvane {

// The system clipboard through the Win32 clipboard functions. Its calls
// may be made from any thread; each thread opens and closes its own.
class Win32ClipboardService final : public ClipboardService {
  public:
    std::uint32_t SequenceNumber() override;
    int CountFormats() override;
    bool IsFormatAvailable(unsigned format) override;
    WindowHandle Owner() override;
    std::string WindowClassName(WindowHandle window) override;
    WindowHandle OpenClipboardWindow() override;
    std::optional<std::vector<unsigned>> UpdatedFormats() override;
    std::string WindowClassNameUtf8(WindowHandle window) override;
    std::string FormatNameUtf8(unsigned format) override;
    bool IsSystemClipboard() const override { return true; }
    bool Open(WindowHandle owner) override;
    bool Empty() override;
    bool Close() override;
    void ObserveOpens(ClipboardOpenObserver* observer) override;
    unsigned EnumFormats(unsigned previous) override;
    std::string FormatName(unsigned format) override;
    std::optional<std::u16string> CopyText() override;
    BitmapHandle CopyBitmap() override;
    std::optional<FormatData> CopyFormatData(unsigned format) override;
    OwnerProgram ProgramOf(WindowHandle window) override;
    OwnerProgram ProgramOfUtf8(WindowHandle window) override;

  private:
    std::mutex observerLock_;  // held across each open and close and its notice
    ClipboardOpenObserver* observer_ = nullptr;
};

}  // namespace norvane
