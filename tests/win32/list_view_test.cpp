// The form layer's list view: columns from the layout, cells asked of the
// form only when drawn, and lines kept in place as new ones come at the top.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/recording_messages.h"
#include "ui/form.h"
#include "win32/test_forms.h"

namespace norvane {
namespace {

using testing::RecordingMessages;

enum class ListPart { Lines_ListView, Count };

// Line n of the list shows entry `lines - 1 - n`: the newest at the top.
class ListForm : public FormOf<ListPart> {
  public:
    explicit ListForm(MessageDialog& messages);
    void LinesCellText(ListCellRequest& cell) {
        ++asked;
        cell.text = "entry " + std::to_string(lines - 1 - cell.line) + " col " +
                    std::to_string(cell.column);
    }
    // `added` new entries at the top.
    void Add(std::size_t added) {
        lines += added;
        SetLineCount(Get(ListPart::Lines_ListView), lines, added);
    }
    std::string Cell(std::size_t line, int column) {
        char text[64] = {};
        ListView_GetItemText(Get(ListPart::Lines_ListView).hwnd, static_cast<int>(line), column,
                             text, sizeof text);
        return text;
    }
    std::size_t lines = 0;
    int asked = 0;
};

constexpr ListColumn kColumns[] = {{.caption = "Name", .width = 80},
                                   {.caption = "Number", .width = 60, .alignRight = true}};

constexpr auto kListLayout = LayoutOf<ListForm>({
    {.part = ListPart::Lines_ListView,
     .name = "Lines_ListView",
     .kind = ComponentKind::ListView,
     .left = 5,
     .top = 5,
     .width = 190,
     .height = 120,
     .columns = kColumns,
     .onCellText = Bind<&ListForm::LinesCellText>},
});

ListForm::ListForm(MessageDialog& messages)
    : FormOf(testing::TestFormSpec("TListForm", kListLayout, 200, 130), messages, nullptr) {}

std::string HeaderText(HWND list, int column) {
    char text[32] = {};
    LVCOLUMNA format{};
    format.mask = LVCF_TEXT;
    format.pszText = text;
    format.cchTextMax = sizeof text;
    ListView_GetColumn(list, column, &format);
    return text;
}

struct ListViewTest : ::testing::Test {
    RecordingMessages messages;
    ListForm form{messages};
    Form::Component& list = form.Get(ListPart::Lines_ListView);

    void SetUp() override {
        ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
        form.Add(1000);
        UpdateWindow(list.hwnd);
    }
};

TEST_F(ListViewTest, ColumnsComeFromTheLayoutAndCellsFromTheFormWhenDrawn) {
    EXPECT_EQ(HeaderText(list.hwnd, 0), "Name");
    EXPECT_EQ(HeaderText(list.hwnd, 1), "Number");
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list.hwnd)), 2);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list.hwnd) & LVS_EX_FULLROWSELECT);
    EXPECT_EQ(form.LineCountOf(list), 1000u);
    // A thousand lines, a few in view: only those were asked for.
    EXPECT_GT(form.asked, 0);
    EXPECT_LT(form.asked, 2 * 20);
    EXPECT_EQ(form.Cell(0, 0), "entry 999 col 0");
    EXPECT_EQ(form.Cell(999, 1), "entry 0 col 1");
}

TEST_F(ListViewTest, AListScrolledDownKeepsTheLinesItShows) {
    ListView_EnsureVisible(list.hwnd, 500, FALSE);
    const std::size_t top = form.TopLineOf(list);
    ASSERT_GT(top, 0u);
    const std::string shown = form.Cell(top, 0);
    form.Add(4);
    EXPECT_EQ(form.TopLineOf(list), top + 4);
    EXPECT_EQ(form.Cell(form.TopLineOf(list), 0), shown);
}

// The selection following its entry, and the focus left where it is, show
// in the journal's window.
TEST_F(ListViewTest, ASelectionPushedPastTheEndIsNone) {
    form.SelectLine(list, 999);  // entry 0, the oldest
    form.lines = 1000;           // the oldest dropped as a newest came
    form.SetLineCount(list, 1000, 1);
    EXPECT_EQ(form.SelectedLineOf(list), std::nullopt);
}

}  // namespace
}  // namespace norvane
