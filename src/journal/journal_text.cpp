// The journal's texts: what the window shows per column and the tab-separated
// text it saves.
#include <cstdio>
#include <string>

#include "journal/clipboard_journal.h"
#include "util/tab_separated.h"
#include "util/visible_text.h"

namespace norvane {

namespace {

constexpr JournalTime kMsPerDay = 86'400'000;
// From 1 January 1601 to 1 March 2000, the start of a 400-year era.
constexpr JournalTime kDaysTo2000March = 145'791;

// The formats by name where they were listed, else their count.
std::string FormatsText(const ClipboardJournal& journal, const JournalEntry& entry) {
    if (entry.formatNames != 0) return TabSeparatedField(journal.Name(entry.formatNames));
    std::string text = std::to_string(entry.formats);
    if (entry.text && entry.picture) return text + " (text, picture)";
    if (entry.text) return text + " (text)";
    if (entry.picture) return text + " (picture)";
    return text;
}

std::string WindowClassText(const ClipboardJournal& journal, const JournalEntry& entry) {
    if (!entry.hasWindow)
        return entry.event == JournalEvent::Held ? "no window" : "no owner window";
    return TabSeparatedField(VisibleText(journal.Name(entry.windowClass)));
}

}  // namespace

std::string JournalTimeText(JournalTime time) {
    if (time < 0) time = 0;
    // Days counted from 1 March 2000, so that a leap day ends its year.
    const JournalTime days = time / kMsPerDay - kDaysTo2000March;
    const JournalTime msOfDay = time % kMsPerDay;
    const JournalTime era = (days >= 0 ? days : days - 146'096) / 146'097;
    const JournalTime dayOfEra = days - era * 146'097;
    const JournalTime yearOfEra =
        (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const JournalTime dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const JournalTime monthFromMarch = (5 * dayOfYear + 2) / 153;
    const JournalTime day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const JournalTime month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const JournalTime year = 2000 + era * 400 + yearOfEra + (month <= 2 ? 1 : 0);
    char text[96];
    std::snprintf(
        text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld.%03lld",
        static_cast<long long>(year), static_cast<long long>(month), static_cast<long long>(day),
        static_cast<long long>(msOfDay / 3'600'000), static_cast<long long>(msOfDay / 60'000 % 60),
        static_cast<long long>(msOfDay / 1'000 % 60), static_cast<long long>(msOfDay % 1'000));
    return text;
}

std::string JournalEventText(const JournalEntry& entry) {
    std::string text;
    switch (entry.event) {
        case JournalEvent::Set:
            text = "set";
            break;
        case JournalEvent::Replaced:
            text = "replaced";
            break;
        case JournalEvent::Cleared:
            text = "cleared";
            break;
        case JournalEvent::Held:
            text = "held open " + std::to_string(entry.heldMs) + " ms";
            if (entry.holding) text += " so far";
            break;
        case JournalEvent::AtStartUp:
            text = "at start-up";
            break;
    }
    if (entry.missed > 0)
        text += "; " + std::to_string(entry.missed) +
                (entry.missed == 1 ? " change not seen before" : " changes not seen before");
    return text;
}

std::array<std::string, 7> JournalColumnTexts(const ClipboardJournal& journal,
                                              const JournalEntry& entry) {
    const bool held = entry.event == JournalEvent::Held;
    return {JournalTimeText(entry.time),
            JournalEventText(entry),
            TabSeparatedField(VisibleText(journal.Name(entry.program))),
            entry.processId ? std::to_string(entry.processId) : std::string(),
            WindowClassText(journal, entry),
            held ? std::string() : FormatsText(journal, entry),
            held ? std::string() : std::to_string(entry.sequence)};
}

std::string JournalTabText(const ClipboardJournal& journal) {
    std::string text;
    const auto appendLine = [&text](const auto& fields) {
        bool first = true;
        for (const auto& field : fields) {
            if (!first) text += '\t';
            text += field;
            first = false;
        }
        text += "\r\n";
    };
    appendLine(kJournalColumnTitles);
    for (std::size_t index = 0; index < journal.Size(); ++index)
        appendLine(JournalColumnTexts(journal, journal.Newest(index)));
    return text;
}

}  // namespace norvane
