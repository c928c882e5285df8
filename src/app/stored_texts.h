// Display texts that the program keeps only in scrambled form.
#pragma once

#include "util/descramble.h"

namespace norvane::stored {

// The question asked before Restore Factory Defaults.
inline constexpr auto kDefaultsQuestion1 =
    SCRAMBLED("Restore Factory Defaults puts Norvane back as it was first installed:");
inline constexpr auto kDefaultsQuestion2 =
    SCRAMBLED("the window returns to its first place and size, not maximised,");
inline constexpr auto kDefaultsQuestion3 = SCRAMBLED("and Always On Top is switched off.");
inline constexpr auto kDefaultsQuestion4 =
    SCRAMBLED("Do you want to restore the factory defaults now ?");

}  // namespace norvane::stored
