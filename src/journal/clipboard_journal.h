// The clipboard journal: what the listener saw of the clipboard since
// start-up (each change and each long hold, with the program behind it),
// kept in memory as a ring of the last entries. Portable: the listener
// feeds it what it observed; the journal marks the events and keeps the
// names of windows' classes, programs and format lists once each, so that a
// full ring stays small. Names are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace norvane {

// Milliseconds since 1 January 1601, local time (a FILETIME / 10,000):
// shown, never used to time anything, since the clock can be set.
using JournalTime = std::int64_t;
// Milliseconds on a clock that only goes forward (GetTickCount), for every
// interval. It wraps after 49.7 days: intervals are unsigned differences.
using JournalTick = std::uint32_t;

// A program's window as the listener found it.
struct JournalWindow {
    std::string windowClass;  // empty when it could not be read
    std::string program;      // file name without its folder; empty when unknown
    std::uint32_t processId = 0;
    // False when the program opened the clipboard without a window (known
    // only of this program's own opens).
    bool hasWindow = true;
};

// What the listener saw when the clipboard changed, read without opening it.
struct ClipboardChange {
    JournalTime time = 0;
    JournalTick tick = 0;
    // The clipboard's sequence number. It cannot count changes: one copy
    // moves it once for the emptying and once for each format placed or
    // synthesized, and a look while another program is half-way through a
    // copy finds it part-way. The same number as at the last look says that
    // its change notifications came after that look had seen their change.
    std::uint32_t sequence = 0;
    std::optional<JournalWindow> owner;  // nothing: no owner window
    std::uint32_t formats = 0;
    // The formats' names, ", " between (JournalFormatNames); empty when
    // they could not be listed.
    std::string formatNames{};
    bool text = false;
    bool picture = false;
    // How many change notifications (WM_CLIPBOARDUPDATE) this look answers:
    // more than one when changes came faster than the clipboard was read,
    // and only the last was seen.
    std::uint32_t notices = 1;
    // The clipboard as found when listening began, not a change.
    bool atStartUp = false;
};

// What a poll of the clipboard's holder found.
struct HolderSample {
    JournalTime time = 0;
    JournalTick tick = 0;
    bool open = false;                    // someone holds the clipboard open
    std::optional<JournalWindow> holder;  // nothing: opened without a window
};

enum class JournalEvent : std::uint8_t {
    Set,        // another program, or the same one, placed data
    Replaced,   // another program placed data within a second of one that left data
    Cleared,    // the change left no formats
    Held,       // the clipboard was held open longer than half a second
    AtStartUp,  // the clipboard as it was when listening began
};

// One line of the journal. Names are kept once each in the journal and
// referred to here by number (0: none).
struct JournalEntry {
    JournalTime time = 0;           // of the change, or when the hold began
    std::uint32_t sequence = 0;     // changes: the sequence number
    std::uint32_t missed = 0;       // changes: changes not seen just before this one
    std::uint32_t processId = 0;    // of the owner or holder; 0: none
    std::uint32_t windowClass = 0;  // name number
    std::uint32_t program = 0;      // name number
    std::uint32_t formats = 0;
    std::uint32_t heldMs = 0;       // holds: how long so far
    std::uint32_t formatNames = 0;  // changes: name number of the formats' names
    JournalEvent event = JournalEvent::Set;
    bool hasWindow = false;  // an owner (or holder) window was there
    bool text = false;
    bool picture = false;
    bool holding = false;  // holds: still going on
};

class ClipboardJournal {
  public:
    static constexpr std::size_t kCapacity = 10'000;
    static constexpr std::uint32_t kReplacedWithinMs = 1'000;
    static constexpr std::uint32_t kHoldRecordedAfterMs = 500;
    // Polls further apart than this (their thread was busy) do not show
    // that a hold went on between them.
    static constexpr std::uint32_t kPollGapMs = 500;
    // The ring and its names together; the oldest entries go early rather
    // than let names of unusual length pass this.
    static constexpr std::size_t kMemoryLimit = 2'000'000;
    // Longer names are cut, on a whole character: a class name has at most
    // 256 UTF-16 characters, a file name 255, each up to 3 bytes in UTF-8.
    static constexpr std::size_t kLongestName = 768;
    // A list of formats is cut beyond this (a program can place hundreds).
    static constexpr std::size_t kLongestFormatNames = 4'096;

    explicit ClipboardJournal(std::size_t capacity = kCapacity);
    ClipboardJournal(const ClipboardJournal&) = delete;
    ClipboardJournal& operator=(const ClipboardJournal&) = delete;

    // A change ends any hold at its time: its notice comes when its program
    // closes the clipboard.
    void RecordChange(const ClipboardChange& change);
    // A change notice whose reading waits for the clipboard to be closed
    // (another copy was under way): it proves a close at `tick` all the same.
    void RecordClose(JournalTick tick);
    // Called every poll: a hold that has lasted long enough is entered, and
    // grows until the holder lets go.
    void RecordHolder(const HolderSample& sample);

    std::size_t Size() const;
    // Entries that fell out of the full ring.
    std::uint64_t Dropped() const;
    // 0 is the newest entry.
    const JournalEntry& Newest(std::size_t index) const;
    std::string_view Name(std::uint32_t number) const;
    // Bytes held by the ring and the names.
    std::size_t MemoryUsed() const;

    // Called after each entry added or grown, and when listening failed.
    void OnChanged(std::function<void()> changed);

    // The listener could not start: the system's error number. The journal
    // stays empty.
    void RecordListenerFailure(std::uint32_t error);
    std::optional<std::uint32_t> ListenerFailure() const;

  private:
    struct NameSlot {
        const std::string* text = nullptr;  // the key in names_; null when free
        std::uint32_t uses = 0;
    };
    // The change before, for marking the next one.
    struct LastChange {
        JournalTick tick = 0;
        std::uint32_t sequence = 0;
        std::uint32_t processId = 0;
        std::uint32_t formats = 0;
        bool timed = true;        // false: the state at start-up, placed whenever
        std::uint64_t entry = 0;  // serial number
    };
    // A hold seen by the polls, entered once it lasts long enough.
    struct Hold {
        JournalTime beganAt = 0;  // shown
        JournalTick began = 0;
        JournalTick seen = 0;  // by the last poll
        std::optional<JournalWindow> holder;
        std::optional<std::uint64_t> entry;  // serial number once entered
    };

    JournalEvent EventOf(const ClipboardChange& change, std::uint32_t processId) const;
    void EnterHold(std::uint32_t heldMs, bool holding);
    void EndHold(JournalTick now);
    void EndHoldByClose(JournalTick closed);
    JournalEntry* EntryBySerial(std::optional<std::uint64_t> serial);
    std::uint64_t Add(JournalEntry entry, const std::optional<JournalWindow>& window);
    void DropOldest();
    std::uint32_t Intern(std::string_view name, std::size_t longest = kLongestName);
    void Release(std::uint32_t number);
    std::size_t NameBytes(const std::string& name) const;
    void Changed() const;

    std::size_t capacity_;
    std::vector<JournalEntry> ring_;  // all of it made at once
    std::size_t oldest_ = 0;          // position of the oldest entry in ring_
    std::size_t count_ = 0;
    std::uint64_t added_ = 0;    // serial number of the next entry
    std::uint64_t dropped_ = 0;  // entries that fell out
    std::unordered_map<std::string, std::uint32_t> names_;
    std::vector<NameSlot> slots_;  // by name number - 1
    std::vector<std::uint32_t> freeSlots_;
    std::size_t nameBytes_ = 0;
    std::optional<LastChange> last_;
    std::optional<Hold> hold_;
    std::optional<std::uint32_t> listenerFailure_;
    std::function<void()> changed_;
};

// The texts the window shows and Save As writes, per column.
std::string JournalTimeText(JournalTime time);  // "2026-12-08 17:05:03.123"
// "set", "replaced", "cleared", "held open 1200 ms", "at start-up"; with
// "3 changes not seen" added after a gap.
std::string JournalEventText(const JournalEntry& entry);

inline constexpr std::array<const char*, 7> kJournalColumnTitles = {
    "Time", "Event", "Program", "Process id", "Window class", "Formats", "Sequence number"};
// One entry's texts in the order of kJournalColumnTitles; names read from
// `journal`, with tabs, line breaks and other control characters as blanks;
// the formats by name, the whole list, where they were listed.
std::array<std::string, 7> JournalColumnTexts(const ClipboardJournal& journal,
                                              const JournalEntry& entry);
// The whole journal, newest first, as tab-separated text with a header line,
// lines ending in "\r\n".
std::string JournalTabText(const ClipboardJournal& journal);

}  // namespace norvane
