// A locale's number with its name as this system knows it, for CF_LOCALE.
#pragma once

#include <cstdint>
#include <string>

namespace norvane {

// "1033 (0x0409): en-US, English (United States)"; a number the system does
// not know is said to be unknown.
std::string LocaleText(std::uint32_t lcid);

}  // namespace norvane
