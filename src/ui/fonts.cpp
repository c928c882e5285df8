#include "ui/fonts.h"

#include "ui/handles.h"

namespace norvane {

int ScreenDpi() {
    WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

HFONT CreateFontFor(const std::string& face, int height, bool bold, bool underline) {
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                       ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

int TextHeightOf(HFONT font) {
    WindowDC screen(nullptr);
    SelectedObject selected(screen.get(), font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.get(), &metrics);
    return metrics.tmHeight;
}

}  // namespace norvane
