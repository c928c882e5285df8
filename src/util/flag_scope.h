// Raises a flag for a scope and puts back what it was on every way out:
// the guard of a routine that must not be entered again while it runs.
#pragma once

#include <utility>

namespace norvane {

class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
    ~FlagScope() { flag_ = was_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool was_;
};

}  // namespace norvane
