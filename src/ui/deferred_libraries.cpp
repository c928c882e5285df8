#include "ui/deferred_libraries.h"

#include <shellapi.h>

#include <stdexcept>
#include <string>

namespace norvane::deferred {
namespace {

// The function `name` of the system library `library`, which is loaded
// for the rest of the program's life; one missing is an error.
template <class Function>
Function* Lookup(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    if (!found)
        throw std::runtime_error(std::string("Cannot find ") + name + " in the system library " +
                                 library + ".");
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

// The system's own declaration gives each one's type and calling convention.
#define NORVANE_LOOKUP_ONCE(library, name) \
    static auto* const call = Lookup<decltype(::name)>(library, #name)

}  // namespace

BOOL GetSaveFileNameA(OPENFILENAMEA* dialog) {
    NORVANE_LOOKUP_ONCE("comdlg32.dll", GetSaveFileNameA);
    return call(dialog);
}

DWORD CommDlgExtendedError() {
    NORVANE_LOOKUP_ONCE("comdlg32.dll", CommDlgExtendedError);
    return call();
}

HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* folder, int show) {
    NORVANE_LOOKUP_ONCE("shell32.dll", ShellExecuteA);
    return call(owner, verb, file, parameters, folder, show);
}

HRESULT CoInitializeEx(void* reserved, DWORD model) {
    NORVANE_LOOKUP_ONCE("ole32.dll", CoInitializeEx);
    return call(reserved, model);
}

void CoUninitialize() {
    NORVANE_LOOKUP_ONCE("ole32.dll", CoUninitialize);
    call();
}

HRESULT CoCreateInstance(REFCLSID type, IUnknown* outer, DWORD context, REFIID iid, void** made) {
    NORVANE_LOOKUP_ONCE("ole32.dll", CoCreateInstance);
    return call(type, outer, context, iid, made);
}

void CoTaskMemFree(void* memory) {
    NORVANE_LOOKUP_ONCE("ole32.dll", CoTaskMemFree);
    call(memory);
}

}  // namespace norvane::deferred
