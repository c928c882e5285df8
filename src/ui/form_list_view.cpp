// The form's list views: their columns, the texts of the cells they draw
// answered by the form's handler, and their lines counted, selected and
// kept in place as lines come at the top.
#include "ui/form.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>

#include "util/flag_scope.h"

namespace norvane {
namespace {

// A list's heading and its cells leave three edges' widths on either side
// of their text.
constexpr int kListCellMargins = 6;
constexpr int kFirstCellIndent = 4;

// UTF-8 text into a list view's buffer of `capacity` UTF-16 characters,
// cut where it must be, never inside a character.
void CopyAsWide(std::string_view text, wchar_t* out, int capacity) {
    const int bytes = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), bytes, wide.data(), static_cast<int>(wide.size()));
    std::size_t length = std::min(wide.size(), static_cast<std::size_t>(capacity - 1));
    if (length > 0 && length < wide.size() && wide[length - 1] >= 0xD800 &&
        wide[length - 1] < 0xDC00)
        --length;
    std::wmemcpy(out, wide.data(), length);
    out[length] = L'\0';
}

}  // namespace

void Form::SetUpListView(Component& c, const ComponentSpec& design) {
    ListView_SetExtendedListViewStyle(c.hwnd,
                                      LVS_EX_FULLROWSELECT | (c.onLineTip ? LVS_EX_INFOTIP : 0));
    // Cells are UTF-8: asked for as UTF-16, which shows every character,
    // not only those of the ANSI code page.
    SendMessageA(c.hwnd, CCM_SETUNICODEFORMAT, TRUE, 0);
    int widths = 0;
    for (const ListColumn& column : design.columns) {
        LVCOLUMNA format{};
        format.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        format.fmt = column.alignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        // The first column's cells begin past an item's image room.
        const int indent = &column == design.columns.data() ? kFirstCellIndent : 0;
        format.cx = std::max({Scaled(column.width), ListCellWidth(c, column.caption),
                              ListCellWidth(c, column.sample) + indent});
        if (!column.fill) widths += format.cx;
        format.pszText = const_cast<char*>(column.caption);
        const int at = static_cast<int>(&column - design.columns.data());
        if (SendMessageA(c.hwnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(at),
                         reinterpret_cast<LPARAM>(&format)) != at)
            throw std::runtime_error("Cannot make the columns of " + c.name);
    }
    // The room left beside a vertical scroll bar, which a long list shows.
    RECT client{};
    GetClientRect(c.hwnd, &client);
    const int room = client.right - GetSystemMetrics(SM_CXVSCROLL) - widths;
    for (const ListColumn& column : design.columns)
        if (column.fill) {
            const int at = static_cast<int>(&column - design.columns.data());
            ListView_SetColumnWidth(c.hwnd, at, std::max(room, ListCellWidth(c, column.caption)));
        }
}

int Form::TextRoomOf(const Component& list, int column) const {
    return ListView_GetColumnWidth(list.hwnd, column) -
           kListCellMargins * GetSystemMetrics(SM_CXEDGE);
}

int Form::ListCellWidth(const Component& list, std::string_view text) const {
    if (text.empty()) return 0;
    WindowDC dc(list.hwnd);
    SelectedObject font(dc.get(), list.font.get());
    SIZE extent{};
    GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &extent);
    return extent.cx + kListCellMargins * GetSystemMetrics(SM_CXEDGE);
}

bool Form::RunListNotify(Component& c, NMHDR& note, LRESULT& result) {
    // The form's text of a cell; none while it is already asked (the cells
    // that an error box of the handler repaints stay empty).
    const auto cellText = [&](int line, int column, CellHandler handler) {
        ListCellRequest cell{static_cast<std::size_t>(line), column, {}};
        if (!handler || line < 0 || askingCellText_) return cell.text;
        const FlagScope asking(askingCellText_);
        Guarded([&] { (this->*handler)(cell); });
        return cell.text;
    };
    switch (note.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(note).item;
            if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return true;
            item.pszText[0] = L'\0';
            CopyAsWide(cellText(item.iItem, item.iSubItem, c.onCellText), item.pszText,
                       item.cchTextMax);
            return true;
        }
        case LVN_GETINFOTIPW: {
            auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(note);
            if (!tip.pszText || tip.cchTextMax <= 0) return true;
            CopyAsWide(cellText(tip.iItem, -1, c.onLineTip), tip.pszText, tip.cchTextMax);
            return true;
        }
        case LVN_GETDISPINFOA: {
            LVITEMA& item = reinterpret_cast<NMLVDISPINFOA&>(note).item;
            if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return true;
            item.pszText[0] = '\0';
            const std::string text = cellText(item.iItem, item.iSubItem, c.onCellText);
            const std::size_t length =
                std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::memcpy(item.pszText, text.data(), length);
            item.pszText[length] = '\0';
            return true;
        }
        case LVN_ODFINDITEMA:
        case LVN_ODFINDITEMW:
            // Typing finds no line: the form holds no text to search.
            result = -1;
            return true;
    }
    return false;
}

void Form::SetLineCount(Component& list, std::size_t count, std::size_t addedAtTop) {
    HWND w = list.hwnd;
    const std::size_t top = TopLineOf(list);
    const auto selected = SelectedLineOf(list);
    const int focused = ListView_GetNextItem(w, -1, LVNI_FOCUSED);
    // Wine takes milliseconds over a count of thousands even when it stays.
    if (count != LineCountOf(list))
        ListView_SetItemCountEx(w, static_cast<int>(count),
                                LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (addedAtTop > 0) {
        // Each line's entry is now `addedAtTop` lines further down. Only the
        // lines concerned are touched: a state set on all lines at once
        // goes through every line of a long list.
        auto move = [&](std::optional<std::size_t> line, UINT state) {
            if (!line) return;
            ListView_SetItemState(w, static_cast<int>(*line), 0, state);
            if (*line + addedAtTop < count)
                ListView_SetItemState(w, static_cast<int>(*line + addedAtTop), state, state);
        };
        move(selected, LVIS_SELECTED);
        move(focused >= 0 ? std::optional<std::size_t>(focused) : std::nullopt, LVIS_FOCUSED);
        // Where the lines shown before are now; moving the selection may
        // have scrolled (Wine brings a focused line into view).
        const std::size_t keptTop = top > 0 ? top + addedAtTop : 0;
        const auto lines = static_cast<int>(keptTop) - static_cast<int>(TopLineOf(list));
        if (lines != 0) {
            RECT line{};
            ListView_GetItemRect(w, 0, &line, LVIR_BOUNDS);
            ListView_Scroll(w, 0, lines * (line.bottom - line.top));
        }
    }
    InvalidateRect(w, nullptr, FALSE);
}

std::size_t Form::LineCountOf(const Component& list) const {
    return static_cast<std::size_t>(ListView_GetItemCount(list.hwnd));
}

std::optional<std::size_t> Form::SelectedLineOf(const Component& list) const {
    const int line = ListView_GetNextItem(list.hwnd, -1, LVNI_SELECTED);
    if (line < 0) return std::nullopt;
    return static_cast<std::size_t>(line);
}

void Form::SelectLine(Component& list, std::optional<std::size_t> line) {
    // The line selected and the one focused, not every line: single
    // selection has one of each.
    constexpr UINT kBoth = LVIS_SELECTED | LVIS_FOCUSED;
    for (const UINT which : {LVNI_SELECTED, LVNI_FOCUSED})
        if (const int was = ListView_GetNextItem(list.hwnd, -1, which); was >= 0)
            ListView_SetItemState(list.hwnd, was, 0, kBoth);
    if (line) ListView_SetItemState(list.hwnd, static_cast<int>(*line), kBoth, kBoth);
}

std::size_t Form::TopLineOf(const Component& list) const {
    return static_cast<std::size_t>(std::max(ListView_GetTopIndex(list.hwnd), 0));
}

}  // namespace norvane
