#include "clipboard/format_list.h"

#include <array>

#include "clipboard/standard_formats.h"
#include "util/visible_text.h"

namespace norvane {
namespace {

constexpr std::array<const char*, 17> kPredefinedFormatNames{
    "CF_TEXT",        "CF_BITMAP",      "CF_METAFILEPICT", "CF_SYLK",    "CF_DIF",  "CF_TIFF",
    "CF_OEMTEXT",     "CF_DIB",         "CF_PALETTE",      "CF_PENDATA", "CF_RIFF", "CF_WAVE",
    "CF_UNICODETEXT", "CF_ENHMETAFILE", "CF_HDROP",        "CF_LOCALE",  "CF_MAX"};

}  // namespace

std::string PredefinedFormatName(unsigned format) {
    if (format >= kTextFormat && format <= kPredefinedFormatNames.size())
        return kPredefinedFormatNames[format - 1];
    switch (format) {
        case kOwnerDisplayFormat:
            return "CF_OWNERDISPLAY";
        case kDisplayTextFormat:
            return "CF_DSPTEXT";
        case kDisplayBitmapFormat:
            return "CF_DSPBITMAP";
        case kDisplayMetafilePictureFormat:
            return "CF_DSPMETAFILEPICT";
        case kDisplayEnhMetafileFormat:
            return "CF_DSPENHMETAFILE";
    }
    if (format >= kPrivateFirstFormat && format <= kPrivateLastFormat)
        return "CF_PRIVATEFIRST+" + std::to_string(format - kPrivateFirstFormat);
    if (format >= kGdiObjectFirstFormat && format <= kGdiObjectLastFormat)
        return "CF_GDIOBJFIRST+" + std::to_string(format - kGdiObjectFirstFormat);
    return "CF_UNKNOWN";
}

std::string FormatCountLine(int count) {
    return "There are " + std::to_string(count) + " data formats available in the Clipboard";
}

std::string FormatLine(unsigned format, const std::string& registeredName) {
    const std::string number = " [" + std::to_string(format) + "]";
    if (!registeredName.empty()) return VisibleText(registeredName) + number;
    return PredefinedFormatName(format) + " (Predefined)" + number;
}

FormatList ReadFormatList(ClipboardService& clipboard) {
    FormatList list{FormatCountLine(clipboard.CountFormats()), {}, {}};
    const OpenClipboardScope open(clipboard, nullptr);
    for (unsigned format = clipboard.EnumFormats(0); format != 0;
         format = clipboard.EnumFormats(format)) {
        list.lines.push_back(FormatLine(format, clipboard.FormatName(format)));
        list.formats.push_back(format);
    }
    return list;
}

}  // namespace norvane
