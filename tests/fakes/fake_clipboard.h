// A clipboard held in memory, whose calls can be made to fail or throw.
#pragma once

#include <cstdint>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "clipboard/clipboard_service.h"

namespace norvane::testing {

class FakeClipboard : public ClipboardService {
  public:
    struct Format {
        unsigned number;
        std::string registeredName;
    };
    std::vector<Format> formats;
    WindowHandle owner = nullptr;
    std::string ownerClass;
    WindowHandle openWindow = nullptr;  // another program's window holding it open

    std::optional<std::u16string> text;  // what CopyText gives
    BitmapHandle bitmap = nullptr;       // copied by CopyBitmap (the fake hands it out once)
    // What CopyFormatData gives for a format: none for a format not rendered.
    std::map<unsigned, std::optional<FormatData>> data;
    OwnerProgram ownerProgram;
    bool failUpdatedFormats = false;  // as when the system cannot list them
    bool failOpen = false, failEmpty = false, failClose = false;
    bool throwOnEmpty = false;
    bool throwOnFormatName = false;  // as when memory runs out while the clipboard is open
    bool isOpen = false;
    std::uint32_t sequence = 1;
    std::vector<std::string> calls;

    std::uint32_t SequenceNumber() override { return sequence; }
    int CountFormats() override { return static_cast<int>(formats.size()); }
    bool IsFormatAvailable(unsigned format) override {
        for (const Format& f : formats)
            if (f.number == format) return true;
        return false;
    }
    WindowHandle Owner() override { return owner; }
    std::string WindowClassName(WindowHandle window) override { return window ? ownerClass : ""; }
    WindowHandle OpenClipboardWindow() override { return openWindow; }
    std::optional<std::vector<unsigned>> UpdatedFormats() override {
        if (failUpdatedFormats) return std::nullopt;
        std::vector<unsigned> numbers;
        for (const Format& f : formats) numbers.push_back(f.number);
        return numbers;
    }
    // The fake's names are UTF-8 already.
    std::string WindowClassNameUtf8(WindowHandle window) override {
        return WindowClassName(window);
    }
    std::string FormatNameUtf8(unsigned format) override { return FormatName(format); }
    OwnerProgram ProgramOfUtf8(WindowHandle window) override { return ProgramOf(window); }
    bool Open(WindowHandle) override {
        calls.push_back("Open");
        if (failOpen) return false;
        isOpen = true;
        return true;
    }
    bool Empty() override {
        calls.push_back("Empty");
        if (throwOnEmpty) throw std::runtime_error("empty failed");
        if (failEmpty || !isOpen) return false;
        formats.clear();
        return true;
    }
    bool Close() override {
        calls.push_back("Close");
        if (failClose || !isOpen) return false;
        isOpen = false;
        return true;
    }
    unsigned EnumFormats(unsigned previous) override {
        if (!isOpen) return 0;
        bool next = previous == 0;
        for (const Format& f : formats) {
            if (next) return f.number;
            next = f.number == previous;
        }
        return 0;
    }
    std::optional<std::u16string> CopyText() override {
        calls.push_back("CopyText");
        return isOpen ? text : std::nullopt;
    }
    BitmapHandle CopyBitmap() override {
        calls.push_back("CopyBitmap");
        return std::exchange(bitmap, nullptr);
    }
    std::optional<FormatData> CopyFormatData(unsigned format) override {
        calls.push_back("CopyFormatData");
        if (!isOpen) return std::nullopt;
        const auto found = data.find(format);
        return found == data.end() ? std::nullopt : found->second;
    }
    OwnerProgram ProgramOf(WindowHandle window) override {
        return window ? ownerProgram : OwnerProgram{};
    }
    std::string FormatName(unsigned format) override {
        if (throwOnFormatName) throw std::bad_alloc();
        for (const Format& f : formats)
            if (f.number == format) return f.registeredName;
        return {};
    }
};

}  // namespace norvane::testing
