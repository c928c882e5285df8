// Fonts and the screen's resolution, as the forms use them.
#pragma once

#include <windows.h>

#include <string>

namespace norvane {

int ScreenDpi();
HFONT CreateFontFor(const std::string& face, int height, bool bold, bool underline);
// The height of a line of text in `font`, in pixels.
int TextHeightOf(HFONT font);

}  // namespace norvane
