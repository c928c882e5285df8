// Owning wrappers for COM: an interface pointer released on every path out
// of its scope, and the thread's COM library held while in use.
#pragma once

#include <objbase.h>

#include <utility>

#include "ui/deferred_libraries.h"

namespace norvane {

template <class Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Where a call that makes an object puts it; what was held is released first.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }

  private:
    Interface* pointer_ = nullptr;
};

// The COM library for this thread (single-threaded apartment) while this
// lives. A thread already in another apartment keeps it, and may still use COM.
class ComLibrary {
  public:
    ComLibrary() : result_(deferred::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComLibrary() {
        if (SUCCEEDED(result_)) deferred::CoUninitialize();
    }
    ComLibrary(const ComLibrary&) = delete;
    ComLibrary& operator=(const ComLibrary&) = delete;
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT result_;
};

}  // namespace norvane
