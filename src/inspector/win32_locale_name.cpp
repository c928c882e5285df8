#include "inspector/win32_locale_name.h"

#include <windows.h>

#include <cstdio>

namespace norvane {
namespace {

// Empty when the system has no such field for the locale.
std::string LocaleField(LCID lcid, LCTYPE field) {
    char text[LOCALE_NAME_MAX_LENGTH * 2] = {};
    if (GetLocaleInfoA(lcid, field, text, static_cast<int>(sizeof text)) <= 0) return {};
    return text;
}

}  // namespace

std::string LocaleText(std::uint32_t lcid) {
    char number[32];
    std::snprintf(number, sizeof number, "%lu (0x%04lX): ", static_cast<unsigned long>(lcid),
                  static_cast<unsigned long>(lcid));
    // A number that is no valid locale identifier never reaches the lookups,
    // which would otherwise answer for the user's default locale.
    if (!IsValidLocale(lcid, LCID_SUPPORTED)) return number + std::string("a locale unknown here");
    const std::string name = LocaleField(lcid, LOCALE_SNAME);
    const std::string language = LocaleField(lcid, LOCALE_SENGLANGUAGE);
    const std::string country = LocaleField(lcid, LOCALE_SENGCOUNTRY);
    std::string text = number + (name.empty() ? std::string("unnamed") : name);
    if (!language.empty()) text += ", " + language;
    if (!country.empty()) text += " (" + country + ")";
    return text;
}

}  // namespace norvane
