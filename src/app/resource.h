// Resource identifiers of norvanel.exe.
#pragma once

#define IDI_MAINICON 1
#define IDB_ERASE_GLYPH 101
#define IDB_CLIPBOARD_GLYPH 102
