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

// The About dialog's credits and the maker's addresses.
inline constexpr auto kAuthorCredit = SCRAMBLED("Written by Varnok");
inline constexpr auto kToolCredit = SCRAMBLED("Developed in C++ on the Win32 API");
inline constexpr auto kCopyrightLine = SCRAMBLED("Copyright \xA9 Varnok 2002-");
inline constexpr auto kCommentLine = SCRAMBLED("Comments and ideas by e-mail:");
inline constexpr auto kWebPageLine = SCRAMBLED("More utilities on the web:");
inline constexpr auto kContactEmail = SCRAMBLED("mail@varnok.test");
inline constexpr auto kWebAddress = SCRAMBLED("http://varnok.test/");

}  // namespace norvane::stored
