// Resource identifiers of norvanel.exe (norvanel.rc beside it): the icon and
// the button glyphs, for any form of any layer to name.
#pragma once

#define IDI_MAINICON 1
#define IDB_ERASE_GLYPH 101
#define IDB_CLIPBOARD_GLYPH 102
#define IDB_CLOSE_GLYPH 103
#define IDB_REFRESH_GLYPH 104
#define IDB_OK_GLYPH 105
