#include "reader/reading_message.h"

#include <cstring>
#include <string>
#include <string_view>

namespace norvane {
namespace {

constexpr char kMagic[4] = {'N', 'V', 'R', 'D'};
constexpr char kSnapshotMagic[4] = {'N', 'V', 'S', 'S'};
// The fixed part: the magic, the outcome, the kind, two flags, the two
// process ids and how long the copy took.
constexpr std::uint32_t kFixedBytes = 4 + 4 + 4 + 4 + 4 + 4 + 4;
// No class or file name comes near this; a longer one is garbage.
constexpr std::uint32_t kLongestName = 1 << 16;

// Writes at a cursor that the size computed beforehand keeps within `out`.
class Writer {
  public:
    explicit Writer(std::span<std::uint8_t> out) : out_(out) {}
    void Bytes(const void* bytes, std::size_t size) {
        if (size) std::memcpy(out_.data() + at_, bytes, size);
        at_ += size;
    }
    void U32(std::uint32_t v) {
        const std::uint8_t bytes[4] = {
            static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        Bytes(bytes, 4);
    }
    void Text(std::string_view text) {
        U32(static_cast<std::uint32_t>(text.size()));
        Bytes(text.data(), text.size());
    }
    // A reading of `size` bytes, after its size.
    void Reading(const FormatReading& reading, std::uint32_t size) {
        U32(size);
        WriteReadingMessage(reading, out_.subspan(at_, size));
        at_ += size;
    }

  private:
    std::span<std::uint8_t> out_;
    std::size_t at_ = 0;
};

// Reads at a cursor, each field only when it is within the message.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> in) : in_(in) {}
    bool U32(std::uint32_t& v) {
        if (in_.size() - at_ < 4) return false;
        v = static_cast<std::uint32_t>(in_[at_]) | static_cast<std::uint32_t>(in_[at_ + 1]) << 8 |
            static_cast<std::uint32_t>(in_[at_ + 2]) << 16 |
            static_cast<std::uint32_t>(in_[at_ + 3]) << 24;
        at_ += 4;
        return true;
    }
    std::optional<std::span<const std::uint8_t>> Bytes(std::uint32_t size) {
        if (in_.size() - at_ < size) return std::nullopt;
        const auto bytes = in_.subspan(at_, size);
        at_ += size;
        return bytes;
    }
    bool Text(std::string& text) {
        std::uint32_t size = 0;
        if (!U32(size) || size > kLongestName) return false;
        const auto bytes = Bytes(size);
        if (!bytes) return false;
        text.assign(bytes->begin(), bytes->end());
        return true;
    }
    std::optional<FormatReading> Reading() {
        std::uint32_t size = 0;
        if (!U32(size)) return std::nullopt;
        const auto bytes = Bytes(size);
        return bytes ? ReadReadingMessage(*bytes) : std::nullopt;
    }
    bool AtEnd() const { return at_ == in_.size(); }

  private:
    std::span<const std::uint8_t> in_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<std::uint32_t> ReadingMessageSize(const FormatReading& r) {
    std::uint64_t size = kFixedBytes + 4 + std::uint64_t{r.data.bytes.size()};
    for (const std::string* text : {&r.failure, &r.ownerClass, &r.program.fileName, &r.holderClass,
                                    &r.holderProgram.fileName})
        size += 4 + std::uint64_t{text->size()};
    if (size > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(size);
}

void WriteReadingMessage(const FormatReading& r, std::span<std::uint8_t> out) {
    Writer writer(out);
    writer.Bytes(kMagic, sizeof kMagic);
    writer.U32(static_cast<std::uint32_t>(r.outcome));
    writer.U32(static_cast<std::uint32_t>(r.data.kind));
    writer.U32((r.hasOwner ? 1u : 0u) | (r.hasHolder ? 2u : 0u));
    writer.U32(static_cast<std::uint32_t>(r.program.processId));
    writer.U32(static_cast<std::uint32_t>(r.holderProgram.processId));
    writer.U32(r.readMs);
    writer.Text(r.failure);
    writer.Text(r.ownerClass);
    writer.Text(r.program.fileName);
    writer.Text(r.holderClass);
    writer.Text(r.holderProgram.fileName);
    writer.U32(static_cast<std::uint32_t>(r.data.bytes.size()));
    writer.Bytes(r.data.bytes.data(), r.data.bytes.size());
}

std::vector<std::uint8_t> ReadingMessage(const FormatReading& reading) {
    std::vector<std::uint8_t> message(ReadingMessageSize(reading).value());
    WriteReadingMessage(reading, message);
    return message;
}

std::optional<FormatReading> ReadReadingMessage(std::span<const std::uint8_t> message) {
    Reader in(message);
    FormatReading r;
    std::uint32_t outcome = 0, kind = 0, flags = 0, ownerId = 0, holderId = 0, size = 0;
    const auto magic = in.Bytes(sizeof kMagic);
    if (!magic || std::memcmp(magic->data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
    if (!in.U32(outcome) || !in.U32(kind) || !in.U32(flags) || !in.U32(ownerId) ||
        !in.U32(holderId) || !in.U32(r.readMs))
        return std::nullopt;
    if (outcome > static_cast<std::uint32_t>(ReadOutcome::Failed) ||
        kind > static_cast<std::uint32_t>(DataKind::UnknownHandle) || flags > 3)
        return std::nullopt;
    r.outcome = static_cast<ReadOutcome>(outcome);
    r.data.kind = static_cast<DataKind>(kind);
    r.hasOwner = flags & 1;
    r.hasHolder = flags & 2;
    r.program.processId = ownerId;
    r.holderProgram.processId = holderId;
    if (!in.Text(r.failure) || !in.Text(r.ownerClass) || !in.Text(r.program.fileName) ||
        !in.Text(r.holderClass) || !in.Text(r.holderProgram.fileName) || !in.U32(size))
        return std::nullopt;
    const auto data = in.Bytes(size);
    if (!data || !in.AtEnd()) return std::nullopt;
    r.data.bytes.assign(data->begin(), data->end());
    return r;
}

std::optional<std::uint32_t> SnapshotMessageSize(const ClipboardSnapshot& snapshot) {
    const auto clipboard = ReadingMessageSize(snapshot.clipboard);
    if (!clipboard) return std::nullopt;
    std::uint64_t size = 4 + 4 + std::uint64_t{*clipboard} + 4;
    for (const CopiedFormat& copied : snapshot.formats) {
        const auto reading = ReadingMessageSize(copied.reading);
        if (!reading) return std::nullopt;
        size += 4 + 4 + std::uint64_t{copied.registeredName.size()} + 4 + *reading;
        if (size > UINT32_MAX) return std::nullopt;
    }
    return static_cast<std::uint32_t>(size);
}

void WriteSnapshotMessage(const ClipboardSnapshot& snapshot, std::span<std::uint8_t> out) {
    Writer writer(out);
    writer.Bytes(kSnapshotMagic, sizeof kSnapshotMagic);
    writer.Reading(snapshot.clipboard, *ReadingMessageSize(snapshot.clipboard));
    writer.U32(static_cast<std::uint32_t>(snapshot.formats.size()));
    for (const CopiedFormat& copied : snapshot.formats) {
        writer.U32(copied.format);
        writer.Text(copied.registeredName);
        writer.Reading(copied.reading, *ReadingMessageSize(copied.reading));
    }
}

std::vector<std::uint8_t> SnapshotMessage(const ClipboardSnapshot& snapshot) {
    std::vector<std::uint8_t> message(SnapshotMessageSize(snapshot).value());
    WriteSnapshotMessage(snapshot, message);
    return message;
}

std::optional<ClipboardSnapshot> ReadSnapshotMessage(std::span<const std::uint8_t> message) {
    Reader in(message);
    const auto magic = in.Bytes(sizeof kSnapshotMagic);
    if (!magic || std::memcmp(magic->data(), kSnapshotMagic, sizeof kSnapshotMagic) != 0)
        return std::nullopt;
    ClipboardSnapshot snapshot;
    auto clipboard = in.Reading();
    std::uint32_t count = 0;
    if (!clipboard || !in.U32(count)) return std::nullopt;
    snapshot.clipboard = std::move(*clipboard);
    // Read one by one: a count that lies runs out of bytes before memory.
    for (std::uint32_t i = 0; i < count; ++i) {
        CopiedFormat copied;
        if (!in.U32(copied.format) || !in.Text(copied.registeredName)) return std::nullopt;
        auto reading = in.Reading();
        if (!reading) return std::nullopt;
        copied.reading = std::move(*reading);
        snapshot.formats.push_back(std::move(copied));
    }
    if (!in.AtEnd()) return std::nullopt;
    return snapshot;
}

}  // namespace norvane
