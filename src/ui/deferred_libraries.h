// The calls of the system libraries that only some commands need: the save
// dialog (comdlg32), the shell's "open" (shell32) and COM (ole32). Each
// library is loaded when one of its calls is first made, and stays: the
// program starts without it and the libraries it brings along.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>

namespace norvane::deferred {

BOOL GetSaveFileNameA(OPENFILENAMEA* dialog);
DWORD CommDlgExtendedError();
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* folder, int show);
HRESULT CoInitializeEx(void* reserved, DWORD model);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID iid, void** made);
void CoTaskMemFree(void* memory);

}  // namespace norvane::deferred
