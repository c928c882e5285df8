#include "inspector/save_all_formats.h"

#include <cstdio>

#include "clipboard/format_list.h"
#include "inspector/saved_file.h"
#include "inspector/shell_formats.h"
#include "util/tab_separated.h"
#include "util/visible_text.h"

namespace norvane {
namespace {

// Characters Windows takes in no file name.
bool ForbiddenInFileName(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7F ||
           std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

// "a memory block", or for the shell's and OLE's formats with what they
// hold: "a memory block (drop effect)".
std::string KindColumn(const CopiedFormat& copied, DataKind kind) {
    std::string text = KindText(kind);
    if (const ShellFormat* shell = FindShellFormat(copied.registeredName))
        text += " (" + std::string(shell->kind) + ")";
    return text;
}

}  // namespace

std::string SnapshotFolderName(const LocalTime& t, int attempt) {
    char name[64];
    std::snprintf(name, sizeof name, "Clipboard %04d-%02d-%02d %02d-%02d-%02d", t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
    std::string folder = name;
    if (attempt > 1) folder += " (" + std::to_string(attempt) + ")";
    return folder;
}

std::string NameOf(const CopiedFormat& copied) {
    return copied.registeredName.empty() ? PredefinedFormatName(copied.format)
                                         : copied.registeredName;
}

std::string FormatFileName(const CopiedFormat& copied, LeadByteTest isLeadByte) {
    const std::string whole = NameOf(copied);
    std::string name;
    for (std::size_t at = 0; at < whole.size();) {
        const auto byte = static_cast<unsigned char>(whole[at]);
        const std::size_t length = isLeadByte && isLeadByte(byte) ? 2 : 1;
        // A lead byte with no second byte, or a character past the limit, ends it.
        if (at + length > whole.size() || name.size() + length > kFileNameNameChars) break;
        if (length == 2)
            name.append(whole, at, 2);
        else
            name += ForbiddenInFileName(whole[at]) ? '_' : whole[at];
        at += length;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%05u ", copied.format);
    const bool isText = TextEncodingOf(copied.format, copied.registeredName) != TextEncoding::None;
    return number + name + "." +
           SavedFileExtension(copied.format, copied.reading.data.kind, isText);
}

std::string NotReadReason(const FormatReading& reading) {
    switch (reading.outcome) {
        case ReadOutcome::Read:
            return {};
        case ReadOutcome::ClipboardHeld:
            return ClipboardHeldText();
        case ReadOutcome::FormatGone:
            return "it was no longer on the clipboard";
        case ReadOutcome::NotRendered:
            return "its owner did not render it";
        case ReadOutcome::Failed:
            break;
    }
    return reading.failure;
}

std::string IndexText(const std::vector<CopiedFormat>& formats,
                      const std::vector<std::string>& fates) {
    std::string text = "Number\tName\tKind\tBytes\tOwner\tFile\r\n";
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const CopiedFormat& f = formats[i];
        const bool read = f.reading.outcome == ReadOutcome::Read;
        const DataKind kind = read ? f.reading.data.kind : KindOfFormat(f.format);
        text += std::to_string(f.format) + "\t" + TabSeparatedField(VisibleText(NameOf(f))) + "\t" +
                KindColumn(f, kind) + "\t" +
                (read ? std::to_string(f.reading.data.bytes.size()) : "") + "\t" +
                TabSeparatedField(OwnerText(f.reading)) + "\t" +
                VisibleText(TabSeparatedField(i < fates.size() ? fates[i] : "")) + "\r\n";
    }
    return text;
}

SaveAllReport SavedReport(std::string_view folder, std::size_t saved, std::size_t total,
                          bool stopped) {
    const std::string in = " in \"" + std::string(folder) + "\"";
    const std::string of = std::to_string(saved) + " of the " + std::to_string(total);
    if (stopped)
        return {"Saving was stopped: " + of + " formats were saved" + in + ", and " +
                    kIndexFileName + " lists those that were not.",
                MessageKind::Warning};
    if (saved < total)
        return {"Saved " + of + " formats" + in + ": " + kIndexFileName +
                    " says why the others were not.",
                MessageKind::Warning};
    return {"Saved " + std::to_string(total) + (total == 1 ? " format" : " formats") + in +
                ", with their index in " + kIndexFileName + ".",
            MessageKind::Information};
}

}  // namespace norvane
