#include "journal/clipboard_journal.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "util/utf8_text.h"

namespace norvane {

namespace {

// Right across the tick's wrap.
std::uint32_t ElapsedMs(JournalTick from, JournalTick to) {
    return static_cast<std::uint32_t>(to - from);
}

// Whether tick `a` came before `b`, right across the wrap.
bool Before(JournalTick a, JournalTick b) {
    return static_cast<std::int32_t>(a - b) < 0;
}

std::uint32_t SaturatingSum(std::uint32_t a, std::uint32_t b) {
    return b > std::numeric_limits<std::uint32_t>::max() - a
               ? std::numeric_limits<std::uint32_t>::max()
               : a + b;
}

bool SameHolder(const std::optional<JournalWindow>& a, const std::optional<JournalWindow>& b) {
    if (!a || !b) return !a && !b;
    return a->processId == b->processId && a->windowClass == b->windowClass;
}

}  // namespace

ClipboardJournal::ClipboardJournal(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)), ring_(capacity_) {}

void ClipboardJournal::OnChanged(std::function<void()> changed) {
    changed_ = std::move(changed);
}

void ClipboardJournal::Changed() const {
    if (changed_) changed_();
}

std::size_t ClipboardJournal::Size() const {
    return count_;
}

std::uint64_t ClipboardJournal::Dropped() const {
    return dropped_;
}

const JournalEntry& ClipboardJournal::Newest(std::size_t index) const {
    return ring_[(oldest_ + count_ - 1 - index) % capacity_];
}

std::string_view ClipboardJournal::Name(std::uint32_t number) const {
    if (number == 0 || number > slots_.size() || !slots_[number - 1].text) return {};
    return *slots_[number - 1].text;
}

std::size_t ClipboardJournal::MemoryUsed() const {
    return sizeof *this + ring_.capacity() * sizeof(JournalEntry) +
           slots_.capacity() * sizeof(NameSlot) + freeSlots_.capacity() * sizeof(std::uint32_t) +
           names_.bucket_count() * sizeof(void*) + nameBytes_;
}

void ClipboardJournal::RecordListenerFailure(std::uint32_t error) {
    listenerFailure_ = error;
    Changed();
}

std::optional<std::uint32_t> ClipboardJournal::ListenerFailure() const {
    return listenerFailure_;
}

void ClipboardJournal::RecordChange(const ClipboardChange& change) {
    EndHoldByClose(change.tick);
    const std::uint32_t notices = std::max<std::uint32_t>(change.notices, 1);
    // The same sequence number again: change notifications of changes that
    // the last look at the clipboard already came too late for.
    if (last_ && change.sequence == last_->sequence) {
        if (JournalEntry* entry = EntryBySerial(last_->entry)) {
            entry->missed = SaturatingSum(entry->missed, notices);
            Changed();
        }
        return;
    }
    JournalEntry entry;
    entry.time = change.time;
    entry.sequence = change.sequence;
    entry.formats = change.formats;
    entry.formatNames = Intern(change.formatNames, kLongestFormatNames);
    entry.text = change.text;
    entry.picture = change.picture;
    entry.missed = change.atStartUp ? 0 : notices - 1;
    const std::uint32_t processId = change.owner ? change.owner->processId : 0;
    entry.event = EventOf(change, processId);
    const std::uint64_t serial = Add(entry, change.owner);
    last_ = LastChange{change.tick,    change.sequence,   processId,
                       change.formats, !change.atStartUp, serial};
    Changed();
}

JournalEvent ClipboardJournal::EventOf(const ClipboardChange& change,
                                       std::uint32_t processId) const {
    if (change.atStartUp) return JournalEvent::AtStartUp;
    if (change.formats == 0) return JournalEvent::Cleared;
    // Replacing takes data to replace, left by the change just before (none
    // went unseen between), within a second, by another program: both
    // known (process id 0: the owner had gone before it was read) and not
    // the same.
    const bool replaced = last_ && last_->timed && change.notices <= 1 && last_->formats > 0 &&
                          last_->processId != 0 && processId != 0 &&
                          processId != last_->processId &&
                          ElapsedMs(last_->tick, change.tick) < kReplacedWithinMs;
    return replaced ? JournalEvent::Replaced : JournalEvent::Set;
}

void ClipboardJournal::RecordClose(JournalTick tick) {
    EndHoldByClose(tick);
}

// The clipboard was closed at `closed`: a hold the polls followed ended
// then, unless it was last seen more than a poll gap before (it ended
// unseen meanwhile) or began after it (a later open).
void ClipboardJournal::EndHoldByClose(JournalTick closed) {
    if (!hold_ || Before(closed, hold_->began)) return;
    const bool late = !Before(closed, hold_->seen) && ElapsedMs(hold_->seen, closed) > kPollGapMs;
    EndHold(late ? hold_->seen : closed);
}

void ClipboardJournal::RecordHolder(const HolderSample& sample) {
    if (hold_ && ElapsedMs(hold_->seen, sample.tick) > kPollGapMs) EndHold(hold_->seen);
    if (hold_ && sample.open && SameHolder(hold_->holder, sample.holder)) {
        hold_->seen = sample.tick;
        const std::uint32_t held = ElapsedMs(hold_->began, sample.tick);
        if (JournalEntry* entry = EntryBySerial(hold_->entry)) {
            entry->heldMs = held;
            Changed();
        } else if (!hold_->entry && held > kHoldRecordedAfterMs) {
            EnterHold(held, true);
        }
        return;
    }
    if (hold_) EndHold(sample.tick);
    if (sample.open)
        hold_ = Hold{sample.time, sample.tick, sample.tick, sample.holder, std::nullopt};
}

void ClipboardJournal::EnterHold(std::uint32_t heldMs, bool holding) {
    JournalEntry entry;
    entry.event = JournalEvent::Held;
    entry.time = hold_->beganAt;
    entry.heldMs = heldMs;
    entry.holding = holding;
    hold_->entry = Add(entry, hold_->holder);
    Changed();
}

// The hold has ended by `now`: the first poll that found it over, or the
// last that found it going on when the next came late.
void ClipboardJournal::EndHold(JournalTick now) {
    const std::uint32_t held = ElapsedMs(hold_->began, now);
    if (JournalEntry* entry = EntryBySerial(hold_->entry)) {
        entry->heldMs = held;
        entry->holding = false;
        Changed();
    } else if (!hold_->entry && held > kHoldRecordedAfterMs) {
        EnterHold(held, false);
    }
    hold_.reset();
}

JournalEntry* ClipboardJournal::EntryBySerial(std::optional<std::uint64_t> serial) {
    if (!serial || *serial >= added_ || added_ - *serial > count_) return nullptr;
    return &ring_[(oldest_ + count_ - (added_ - *serial)) % capacity_];
}

std::uint64_t ClipboardJournal::Add(JournalEntry entry,
                                    const std::optional<JournalWindow>& window) {
    if (window) {
        entry.hasWindow = window->hasWindow;
        entry.processId = window->processId;
        entry.windowClass = Intern(window->windowClass);
        entry.program = Intern(window->program);
    }
    if (count_ == capacity_) DropOldest();
    // Names of unusual length take older entries with them.
    while (count_ > 0 && MemoryUsed() > kMemoryLimit) DropOldest();
    ring_[(oldest_ + count_) % capacity_] = entry;
    ++count_;
    return added_++;
}

void ClipboardJournal::DropOldest() {
    const JournalEntry& oldest = ring_[oldest_];
    Release(oldest.windowClass);
    Release(oldest.program);
    Release(oldest.formatNames);
    oldest_ = (oldest_ + 1) % capacity_;
    --count_;
    ++dropped_;
}

std::uint32_t ClipboardJournal::Intern(std::string_view name, std::size_t longest) {
    if (name.empty()) return 0;
    std::string key(Utf8Prefix(name, longest));
    if (auto found = names_.find(key); found != names_.end()) {
        ++slots_[found->second - 1].uses;
        return found->second;
    }
    std::uint32_t number;
    if (!freeSlots_.empty()) {
        number = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        slots_.emplace_back();
        number = static_cast<std::uint32_t>(slots_.size());
    }
    const auto placed = names_.emplace(std::move(key), number).first;
    slots_[number - 1] = NameSlot{&placed->first, 1};
    nameBytes_ += NameBytes(placed->first);
    return number;
}

void ClipboardJournal::Release(std::uint32_t number) {
    if (number == 0) return;
    NameSlot& slot = slots_[number - 1];
    if (--slot.uses > 0) return;
    nameBytes_ -= NameBytes(*slot.text);
    names_.erase(*slot.text);
    slot = NameSlot{};
    freeSlots_.push_back(number);
}

// A name's node in the table (key, number, link and hash) and its text
// where it does not fit inside the string itself.
std::size_t ClipboardJournal::NameBytes(const std::string& name) const {
    const std::size_t node =
        sizeof(std::pair<const std::string, std::uint32_t>) + 2 * sizeof(void*);
    const std::size_t inside = std::string().capacity();
    return node + (name.capacity() > inside ? name.capacity() + 1 : 0);
}

}  // namespace norvane
