// The clipboard journal: what the listener saw of the clipboard since
// start-up (each change and each long hold, with the program behind it),
// kept in memory as a ring of the last entries. Portable: the listener
// feeds it what it observed; the journal marks the events and keeps the
// names of windows' classes and programs once each, so that a full ring
// stays small.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace norvane {

// Milliseconds since 1 January 1601, local time (a FILETIME / 10,000).
using JournalTime = std::int64_t;

// A program's window as the listener found it.
struct JournalWindow {
    std::string windowClass;  // empty when it could not be read
    std::string program;      // file name without its folder; empty when unknown
    std::uint32_t processId = 0;
};

// What the listener saw when the clipboard changed, read without opening it.
struct ClipboardChange {
    JournalTime time = 0;
    std::uint32_t sequence = 0;          // the clipboard's sequence number
    std::optional<JournalWindow> owner;  // nothing: no owner window
    std::uint32_t formats = 0;
    bool text = false;
    bool picture = false;
};

// What a poll of the clipboard's holder found.
struct HolderSample {
    JournalTime time = 0;
    bool open = false;                    // someone holds the clipboard open
    std::optional<JournalWindow> holder;  // nothing: opened without a window
};

enum class JournalEvent : std::uint8_t {
    Set,       // another program, or the same one, placed data
    Replaced,  // another program placed data within a second of the change before
    Cleared,   // the change left no formats
    Held,      // the clipboard was held open longer than half a second
};

// One line of the journal. Names are kept once each in the journal and
// referred to here by number (0: none).
struct JournalEntry {
    JournalTime time = 0;          // of the change, or when the hold began
    std::uint32_t sequence = 0;    // changes: the sequence number
    std::uint32_t missed = 0;      // changes: sequence numbers skipped just before
    std::uint32_t processId = 0;   // of the owner or holder; 0: none
    std::uint32_t windowClass = 0; // name number
    std::uint32_t program = 0;     // name number
    std::uint32_t formats = 0;
    std::uint32_t heldMs = 0;      // holds: how long so far
    JournalEvent event = JournalEvent::Set;
    bool hasWindow = false;        // an owner (or holder) window was there
    bool text = false;
    bool picture = false;
    bool holding = false;          // holds: still going on
};

class ClipboardJournal {
  public:
    static constexpr std::size_t kCapacity = 10'000;
    static constexpr std::uint32_t kReplacedWithinMs = 1'000;
    static constexpr std::uint32_t kHoldRecordedAfterMs = 500;

    explicit ClipboardJournal(std::size_t capacity = kCapacity);

    void RecordChange(const ClipboardChange& change);
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

    // Called after each entry added or grown.
    void OnChanged(std::function<void()> changed);
};

// The texts the window shows and Save As writes, per column.
std::string JournalTimeText(JournalTime time);  // "2026-12-08 17:05:03.123"
std::string JournalEventText(const JournalEntry& entry);
// The whole journal, newest first, as tab-separated text with a header line.
std::string JournalTabText(const ClipboardJournal& journal);

}  // namespace norvane
