// The form layer and the main window in this process, with the clipboard
// and the message boxes replaced by fakes.
#include "ui/form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "app/main_form.h"
#include "clipboard/erase_clipboard.h"
#include "fakes/fake_clipboard.h"
#include "fakes/fake_registry.h"
#include "fakes/recording_messages.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using testing::RecordingMessages;

class TestForm : public Form {
  public:
    TestForm(MessageDialog& messages);
    void ThrowingClick() { throw std::runtime_error("handler failed"); }
    void CountingClick() { ++clicks; }
    void CloseClick() { Close(); }
    int clicks = 0, shows = 0, resizes = 0;

  protected:
    void FormShow() override { ++shows; }
    void FormResize() override { ++resizes; }
};

const std::array kTestLayout{
    ComponentSpec{.name = "Go_BitBtn",
                  .kind = ComponentKind::BitBtn,
                  .left = 10,
                  .top = 10,
                  .width = 100,
                  .height = 30,
                  .caption = "Go",
                  .font = {.bold = true},
                  .onClick = Bind(&TestForm::CountingClick)},
    ComponentSpec{.name = "Fail_Button",
                  .kind = ComponentKind::Button,
                  .left = 10,
                  .top = 50,
                  .width = 100,
                  .height = 30,
                  .caption = "Fail",
                  .onClick = Bind(&TestForm::ThrowingClick)},
    ComponentSpec{.name = "Lines_ListBox",
                  .kind = ComponentKind::ListBox,
                  .left = 120,
                  .top = 10,
                  .width = 50,
                  .height = 50,
                  .flags = kHidden},
    ComponentSpec{.name = "Menu", .kind = ComponentKind::MainMenu},
    ComponentSpec{
        .name = "FileMenu", .kind = ComponentKind::MenuItem, .parent = "Menu", .caption = "&File"},
    ComponentSpec{.name = "Option",
                  .kind = ComponentKind::MenuItem,
                  .parent = "FileMenu",
                  .caption = "&Option",
                  .onClick = Bind(&TestForm::CountingClick)},
    ComponentSpec{.name = "Quit",
                  .kind = ComponentKind::MenuItem,
                  .parent = "FileMenu",
                  .caption = "&Quit",
                  .onClick = Bind(&TestForm::CloseClick)},
};

const FormSpec kTestForm{.className = "TTestForm",
                         .caption = "Test",
                         .style = WS_OVERLAPPEDWINDOW,
                         .exStyle = 0,
                         .left = 50,
                         .top = 60,
                         .width = 200,
                         .height = 150,
                         .clientSized = true,
                         .font = {.face = "Times New Roman", .height = -15},
                         .designDpi = 96,
                         .designTextHeight = 17,
                         .components = kTestLayout};

TestForm::TestForm(MessageDialog& messages) : Form(kTestForm, messages, nullptr) {}

void Click(Form& form, const Form::Component& c) {
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(c.hwnd));
}

struct FormTest : ::testing::Test {
    RecordingMessages messages;
};

TEST_F(FormTest, ComponentsAreCreatedInTableOrder) {
    TestForm form(messages);
    std::vector<std::string> names;
    for (const auto& c : form.Components()) names.push_back(c.name);
    EXPECT_THAT(names, ElementsAre("Go_BitBtn", "Fail_Button", "Lines_ListBox", "Menu", "FileMenu",
                                   "Option", "Quit"));
    EXPECT_TRUE(form.Find("Go_BitBtn").IsControl());
    EXPECT_FALSE(form.Find("Option").IsControl());
    EXPECT_EQ(form.ClientWidth(), 200);
    EXPECT_EQ(form.ClientHeight(), 150);
    EXPECT_EQ(form.BoundsOf(form.Find("Fail_Button")), (Bounds{10, 50, 100, 30}));
    EXPECT_FALSE(IsWindowVisible(form.Find("Lines_ListBox").hwnd));
    EXPECT_EQ(form.FontSizeOf(form.Find("Go_BitBtn")), 11);
    EXPECT_THROW(form.Find("Nothing"), std::logic_error);
}

TEST_F(FormTest, ClicksReachTheirHandlersAndErrorsTheErrorBox) {
    TestForm form(messages);
    Click(form, form.Find("Go_BitBtn"));
    SendMessageA(form.Handle(), WM_COMMAND, form.Find("Option").id, 0);  // a menu item
    EXPECT_EQ(form.clicks, 2);
    Click(form, form.Find("Fail_Button"));
    EXPECT_THAT(messages.errors, ElementsAre("handler failed"));
    Click(form, form.Find("Go_BitBtn"));  // the program goes on
    EXPECT_EQ(form.clicks, 3);
}

TEST_F(FormTest, CheckMarksAndFontSizes) {
    TestForm form(messages);
    auto& option = form.Find("Option");
    EXPECT_FALSE(form.IsChecked(option));
    form.SetChecked(option, true);
    EXPECT_TRUE(form.IsChecked(option));
    auto& go = form.Find("Go_BitBtn");
    form.SetFontSizeOf(go, 22);
    EXPECT_EQ(form.FontSizeOf(go), 22);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(go.hwnd, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfHeight, -29);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
}

TEST_F(FormTest, ModalShowRunsFormShowAndReturnsOnClose) {
    TestForm owner(messages);  // the first form is the main one
    TestForm dialog(messages);
    owner.Show();
    PostMessageA(dialog.Handle(), WM_COMMAND, dialog.Find("Quit").id, 0);
    dialog.ShowModal();
    EXPECT_EQ(dialog.shows, 1);
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_TRUE(IsWindow(dialog.Handle()));  // hidden, kept for the next time
}

TEST_F(FormTest, MainWindowEraseGoesThroughTheClipboardService) {
    FakeClipboard clipboard;
    clipboard.formats = {{1, ""}};
    testing::FakeRegistry registry;
    TMainForm1 main(messages, clipboard, registry);
    Click(main, main.Find("Erase_Clipboard_BitBtn"));
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "Empty", "Close"));
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseSucceeded));
    clipboard.failOpen = true;
    messages.shown.clear();
    Click(main, main.Find("Erase_Clipboard_BitBtn"));
    EXPECT_THAT(messages.Texts(),
                ElementsAre(kEraseOpenFailed, kEraseEraseFailed, kEraseCloseFailed));
}

TEST_F(FormTest, MainWindowMenuMatchesItsTable) {
    FakeClipboard clipboard;
    testing::FakeRegistry registry;
    TMainForm1 main(messages, clipboard, registry);
    HMENU bar = GetMenu(main.Handle());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    auto text = [](HMENU menu, int position) {
        char buffer[64] = {};
        GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
        return std::string(buffer);
    };
    EXPECT_EQ(text(bar, 0), "&File");
    EXPECT_EQ(text(bar, 1), "&Help");
    HMENU file = GetSubMenu(bar, 0), help = GetSubMenu(bar, 1);
    EXPECT_EQ(text(file, 0), "Always &On Top");
    EXPECT_EQ(text(file, 1), "&Auto-Run at Windows Startup");
    EXPECT_EQ(text(file, 2), "&Restore Factory Defaults");
    EXPECT_EQ(GetMenuState(file, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(text(file, 4), "E&xit");
    EXPECT_EQ(text(help, 0), "&View Readme file");
    EXPECT_EQ(text(help, 1), "View &Shareware Catalog");
    EXPECT_EQ(GetMenuState(help, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(text(help, 3), "&About");
    ShowWindow(main.Handle(), SW_SHOWNA);
    main.Always_On_Top_OptionClick();
    EXPECT_TRUE(GetWindowLongA(main.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetMenuState(file, 0, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    main.Always_On_Top_OptionClick();
    EXPECT_FALSE(GetWindowLongA(main.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace
}  // namespace norvane
