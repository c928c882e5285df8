// The form layer and the main window in this process, with the clipboard
// and the message boxes replaced by fakes.
#include "ui/form.h"

#include <richedit.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/win32_main_form.h"
#include "clipboard/erase_clipboard.h"
#include "fakes/fake_clipboard.h"
#include "fakes/fake_registry.h"
#include "fakes/recording_messages.h"
#include "ui/application.h"
#include "ui/win32_message_dialog.h"
#include "win32/test_forms.h"
#include "win32/timer_script.h"

namespace norvane {
namespace {

using ::testing::ElementsAre;
using testing::FakeClipboard;
using testing::FindThreadBox;
using testing::PressInBox;
using testing::RecordingMessages;
using testing::TimerScript;

// The test form's components, in the order of its layout table.
enum class TestPart { Go_BitBtn, Fail_Button, Lines_ListBox, Menu, FileMenu, Option, Quit, Count };

class TestForm : public FormOf<TestPart> {
  public:
    TestForm(MessageDialog& messages);
    void ThrowingClick() { throw std::runtime_error("handler failed"); }
    void CountingClick() { ++clicks; }
    void CloseClick() { Close(); }
    void LinesDblClick() { ++doubleClicks; }
    void LinesContextPopup(const PopupRequest& request) { popups.push_back(request); }
    int clicks = 0, shows = 0, resizes = 0, activations = 0, doubleClicks = 0;
    std::vector<PopupRequest> popups;

  protected:
    void FormShow() override { ++shows; }
    void FormResize() override { ++resizes; }
    void FormActivate() override { ++activations; }
};

constexpr auto kTestLayout = LayoutOf<TestForm>({
    {.part = TestPart::Go_BitBtn,
     .name = "Go_BitBtn",
     .kind = ComponentKind::BitBtn,
     .left = 10,
     .top = 10,
     .width = 100,
     .height = 30,
     .caption = "Go",
     .font = {.bold = true},
     .onClick = Bind<&TestForm::CountingClick>},
    {.part = TestPart::Fail_Button,
     .name = "Fail_Button",
     .kind = ComponentKind::Button,
     .left = 10,
     .top = 50,
     .width = 100,
     .height = 30,
     .caption = "Fail",
     .onClick = Bind<&TestForm::ThrowingClick>},
    {.part = TestPart::Lines_ListBox,
     .name = "Lines_ListBox",
     .kind = ComponentKind::ListBox,
     .left = 120,
     .top = 10,
     .width = 50,
     .height = 50,
     .flags = kHidden,
     .onDblClick = Bind<&TestForm::LinesDblClick>,
     .onContextPopup = Bind<&TestForm::LinesContextPopup>},
    {.part = TestPart::Menu, .name = "Menu", .kind = ComponentKind::MainMenu},
    {.part = TestPart::FileMenu,
     .name = "FileMenu",
     .kind = ComponentKind::MenuItem,
     .parent = TestPart::Menu,
     .caption = "&File"},
    {.part = TestPart::Option,
     .name = "Option",
     .kind = ComponentKind::MenuItem,
     .parent = TestPart::FileMenu,
     .caption = "&Option",
     .onClick = Bind<&TestForm::CountingClick>},
    {.part = TestPart::Quit,
     .name = "Quit",
     .kind = ComponentKind::MenuItem,
     .parent = TestPart::FileMenu,
     .caption = "&Quit",
     .onClick = Bind<&TestForm::CloseClick>},
});

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

TestForm::TestForm(MessageDialog& messages) : FormOf(kTestForm, messages, nullptr) {}

// A table with an entry twice, or a container after what it holds, does
// not compile: LayoutOf stops at the problem the check finds.
enum class PairPart { Box, Inner_Button, Count };
using PairEntry = BasicComponentSpec<Form, std::optional<PairPart>>;
constexpr PairEntry kBox{.part = PairPart::Box, .name = "Box", .kind = ComponentKind::GroupBox};
constexpr PairEntry kInner{.part = PairPart::Inner_Button,
                           .name = "Inner_Button",
                           .kind = ComponentKind::Button,
                           .parent = PairPart::Box};
constexpr PairEntry kBoxInInner{.part = PairPart::Box,
                                .name = "Box",
                                .kind = ComponentKind::GroupBox,
                                .parent = PairPart::Inner_Button};
static_assert(ProblemOf<Form, PairPart>({kBox, kInner}) == LayoutProblem::None);
static_assert(ProblemOf<Form, PairPart>({kInner, kBox}) == LayoutProblem::None);  // any order
static_assert(ProblemOf<Form, PairPart>({kBox, kBox}) == LayoutProblem::PartTwice);
static_assert(ProblemOf<Form, PairPart>({kBoxInInner, kInner}) == LayoutProblem::ParentNotBefore);
static_assert(ProblemOf<Form, PairPart>({kBox, PairEntry{.name = "Inner_Button"}}) ==
              LayoutProblem::EntryWithoutPart);

// The same form, made as a dialog that may never be shown.
class OnDemandForm : public FormOf<TestPart> {
  public:
    OnDemandForm(MessageDialog& messages, const FormSpec& design)
        : FormOf(design, messages, nullptr) {}
};

// A top-level window of a thread of its own, as another program's would be.
class OtherThreadWindow {
  public:
    OtherThreadWindow() {
        thread_ = std::thread([this] {
            window_ = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                                      300, 120, 80, nullptr, nullptr, nullptr, nullptr);
            threadId_ = GetCurrentThreadId();
            SetEvent(ready_);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
            DestroyWindow(window_);
        });
        WaitForSingleObject(ready_, 5000);
    }
    ~OtherThreadWindow() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(ready_);
    }
    HWND Handle() const { return window_; }

  private:
    HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

// Brings `window` to the front and lets the activation messages run.
bool Activate(HWND window) {
    SetForegroundWindow(window);
    for (int i = 0; i < 200 && GetForegroundWindow() != window; ++i) {
        ProcessPendingMessages();
        Sleep(10);
    }
    ProcessPendingMessages();
    return GetForegroundWindow() == window;
}

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
    EXPECT_TRUE(form.Get(TestPart::Go_BitBtn).IsControl());
    EXPECT_FALSE(form.Get(TestPart::Option).IsControl());
    EXPECT_EQ(form.ClientWidth(), 200);
    EXPECT_EQ(form.ClientHeight(), 150);
    EXPECT_EQ(form.BoundsOf(form.Get(TestPart::Fail_Button)), (Bounds{10, 50, 100, 30}));
    EXPECT_FALSE(IsWindowVisible(form.Get(TestPart::Lines_ListBox).hwnd));
    EXPECT_EQ(form.FontSizeOf(form.Get(TestPart::Go_BitBtn)), 11);
}

TEST_F(FormTest, ComponentsOnDemandAreMadeWhenFirstReachedInTableOrder) {
    FormSpec design = kTestForm;
    design.className = "TOnDemandForm";
    design.componentsOnDemand = true;
    OnDemandForm form(messages, design);
    // Texts are kept until the components come, and then shown.
    EXPECT_EQ(form.TextAt(TestPart::Fail_Button), "Fail");
    form.SetTextAt(TestPart::Fail_Button, "Later");
    EXPECT_EQ(form.TextAt(TestPart::Fail_Button), "Later");
    EXPECT_EQ(GetWindow(form.Handle(), GW_CHILD), nullptr);
    EXPECT_EQ(GetMenu(form.Handle()), nullptr);
    HWND go = form.Get(TestPart::Go_BitBtn).hwnd;
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(form.BoundsOf(form.Get(TestPart::Fail_Button)), (Bounds{10, 50, 100, 30}));
    EXPECT_NE(GetMenu(form.Handle()), nullptr);
    // Controls made later lie over the earlier ones, as when made at once.
    EXPECT_EQ(GetWindow(go, GW_HWNDPREV), form.Get(TestPart::Fail_Button).hwnd);
    EXPECT_EQ(form.TextOf(form.Get(TestPart::Fail_Button)), "Later");
    form.SetTextAt(TestPart::Fail_Button, "Now");
    EXPECT_EQ(form.TextOf(form.Get(TestPart::Fail_Button)), "Now");
}

TEST_F(FormTest, FormActivateRunsWhenTheFormBecomesTheProgramsActiveForm) {
    TestForm form(messages), dialog(messages);
    OtherThreadWindow other;
    form.Show();
    ASSERT_TRUE(Activate(form.Handle()));
    EXPECT_EQ(form.activations, 1);
    // Away to another program and back: the same active form.
    ASSERT_TRUE(Activate(other.Handle()));
    ASSERT_TRUE(Activate(form.Handle()));
    EXPECT_EQ(form.activations, 1);
    // Another form of the program, then back.
    ShowWindow(dialog.Handle(), SW_SHOW);
    ASSERT_TRUE(Activate(dialog.Handle()));
    ASSERT_TRUE(Activate(form.Handle()));
    EXPECT_EQ(dialog.activations, 1);
    EXPECT_EQ(form.activations, 2);
    // Every showing of a hidden form is one.
    dialog.Hide();
    ShowWindow(dialog.Handle(), SW_SHOW);
    ASSERT_TRUE(Activate(dialog.Handle()));
    EXPECT_EQ(dialog.activations, 2);
}

// GetMessageA failing: it has read nothing into the message.
BOOL WINAPI FailingSource(LPMSG msg, HWND, UINT, UINT) {
    msg->message = WM_COMMAND;
    msg->wParam = 77;
    return -1;
}

TEST(MessageLoop, AFailedGetMessageEndsTheLoopWithoutReadingTheMessage) {
    EXPECT_EQ(RunMessageLoop(FailingSource), -1);
    EXPECT_FALSE(PumpMessage(FailingSource));
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit was posted";
}

TEST_F(FormTest, ClicksReachTheirHandlersAndErrorsTheErrorBox) {
    TestForm form(messages);
    Click(form, form.Get(TestPart::Go_BitBtn));
    SendMessageA(form.Handle(), WM_COMMAND, form.Get(TestPart::Option).id, 0);  // a menu item
    EXPECT_EQ(form.clicks, 2);
    Click(form, form.Get(TestPart::Fail_Button));
    EXPECT_THAT(messages.errors, ElementsAre("handler failed"));
    Click(form, form.Get(TestPart::Go_BitBtn));  // the program goes on
    EXPECT_EQ(form.clicks, 3);
}

TEST_F(FormTest, ListDoubleClicksAndContextMenusReachTheirHandlers) {
    TestForm form(messages);
    const Form::Component& list = form.Get(TestPart::Lines_ListBox);
    auto notify = [&](WORD code) {
        SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(list.id, code),
                     reinterpret_cast<LPARAM>(list.hwnd));
    };
    notify(LBN_SELCHANGE);
    notify(LBN_DBLCLK);
    EXPECT_EQ(form.doubleClicks, 1);
    EXPECT_EQ(form.clicks, 0);

    // The mouse's request carries its point; the keyboard's comes as a key
    // press over the focused list, and the system's WM_CONTEXTMENU for the
    // same keys opens nothing a second time.
    SendMessageA(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.hwnd),
                 MAKELPARAM(321, 123));
    SendMessageA(form.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.hwnd), -1);
    EXPECT_FALSE(form.PreviewKey(VK_APPS));  // the list has no focus
    ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
    ShowWindow(list.hwnd, SW_SHOWNOACTIVATE);
    SetFocus(list.hwnd);
    ASSERT_EQ(GetFocus(), list.hwnd);
    EXPECT_TRUE(form.PreviewKey(VK_APPS));
    EXPECT_FALSE(form.PreviewKey(VK_F10));  // without Shift
    ASSERT_EQ(form.popups.size(), 2u);
    EXPECT_FALSE(form.popups[0].fromKeyboard);
    EXPECT_EQ(form.popups[0].screen.x, 321);
    EXPECT_EQ(form.popups[0].screen.y, 123);
    EXPECT_TRUE(form.popups[1].fromKeyboard);
}

TEST_F(FormTest, CheckMarksAndFontSizes) {
    TestForm form(messages);
    auto& option = form.Get(TestPart::Option);
    EXPECT_FALSE(form.IsChecked(option));
    form.SetChecked(option, true);
    EXPECT_TRUE(form.IsChecked(option));
    auto& go = form.Get(TestPart::Go_BitBtn);
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
    PostMessageA(dialog.Handle(), WM_COMMAND, dialog.Get(TestPart::Quit).id, 0);
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
    Click(main, main.Get(MainFormPart::Erase_Clipboard_BitBtn));
    EXPECT_THAT(clipboard.calls, ElementsAre("Open", "Empty", "Close"));
    EXPECT_THAT(messages.Texts(), ElementsAre(kEraseSucceeded));
    clipboard.failOpen = true;
    messages.shown.clear();
    Click(main, main.Get(MainFormPart::Erase_Clipboard_BitBtn));
    EXPECT_THAT(messages.Texts(),
                ElementsAre(kEraseOpenFailed, kEraseEraseFailed, kEraseCloseFailed));
}

TEST_F(FormTest, MainWindowMenuMatchesItsTable) {
    FakeClipboard clipboard;
    testing::FakeRegistry registry;
    TMainForm1 main(messages, clipboard, registry);
    HMENU bar = GetMenu(main.Handle());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    auto text = [](HMENU menu, int position) {
        char buffer[64] = {};
        GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
        return std::string(buffer);
    };
    EXPECT_EQ(text(bar, 0), "&File");
    EXPECT_EQ(text(bar, 1), "&View");
    EXPECT_EQ(text(bar, 2), "&Help");
    HMENU file = GetSubMenu(bar, 0), view = GetSubMenu(bar, 1), help = GetSubMenu(bar, 2);
    EXPECT_EQ(text(file, 0), "Always &On Top");
    EXPECT_EQ(text(file, 1), "&Auto-Run at Windows Startup");
    EXPECT_EQ(text(file, 2), "&Restore Factory Defaults");
    EXPECT_EQ(GetMenuState(file, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(text(file, 4), "E&xit");
    EXPECT_EQ(text(view, 0), "Clipboard &Journal...");
    int journalOpened = 0;
    main.AttachJournal([&] { ++journalOpened; });
    SendMessageA(main.Handle(), WM_COMMAND, GetMenuItemID(view, 0), 0);
    EXPECT_EQ(journalOpened, 1);
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

TEST_F(FormTest, EveryClickOfAPictureButtonCounts) {
    TestForm form(messages);
    ShowWindow(form.Handle(), SW_SHOWNA);
    HWND go = form.Get(TestPart::Go_BitBtn).hwnd;
    const LPARAM at = MAKELPARAM(5, 5);
    // Two quick clicks: the button sees the second press as a double-click.
    SendMessageA(go, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(go, WM_LBUTTONUP, 0, at);
    SendMessageA(go, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(go, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(form.clicks, 2);
}

// Two rich edit boxes: one as designed by default, one that reads RTF.
enum class TextPart { Plain_RichEdit, Rich_RichEdit, Count };

class TextForm : public FormOf<TextPart> {
  public:
    explicit TextForm(MessageDialog& messages);
};

constexpr auto kTextLayout = LayoutOf<TextForm>({
    {.part = TextPart::Plain_RichEdit,
     .name = "Plain_RichEdit",
     .kind = ComponentKind::RichEdit,
     .width = 100,
     .height = 40},
    {.part = TextPart::Rich_RichEdit,
     .name = "Rich_RichEdit",
     .kind = ComponentKind::RichEdit,
     .top = 50,
     .width = 100,
     .height = 40,
     .flags = kRichText | kVerticalScroll},
});

TextForm::TextForm(MessageDialog& messages)
    : FormOf(testing::TestFormSpec("TTextForm", kTextLayout, 120, 100), messages, nullptr) {}

struct Shown {
    bool richText;  // the box's own mode
    bool scrollBar;
    friend bool operator==(const Shown&, const Shown&) = default;
};

// Given more lines than it holds.
Shown ShownOf(TextForm& form, TextPart part) {
    Form::Component& box = form.Get(part);
    std::string lines;
    for (int line = 0; line < 20; ++line) lines += "line\r\n";
    form.SetTextOf(box, lines);
    return {(SendMessageA(box.hwnd, EM_GETTEXTMODE, 0, 0) & TM_RICHTEXT) != 0,
            (GetWindowLongA(box.hwnd, GWL_STYLE) & WS_VSCROLL) != 0};
}

TEST_F(FormTest, RichEditBoxesHoldRichTextAndScrollOnlyWhenDesignedTo) {
    TextForm form(messages);
    ShowWindow(form.Handle(), SW_SHOWNA);
    for (int made = 0; made < 2; ++made) {
        EXPECT_EQ(ShownOf(form, TextPart::Plain_RichEdit), (Shown{false, false})) << made;
        EXPECT_EQ(ShownOf(form, TextPart::Rich_RichEdit), (Shown{true, true})) << made;
        // A box made anew is made as designed.
        form.RecreateWindowOf(form.Get(TextPart::Plain_RichEdit));
        form.RecreateWindowOf(form.Get(TextPart::Rich_RichEdit));
    }
}

TEST_F(FormTest, RichEditBoxesPutNothingOnTheClipboard) {
    TextForm form(messages);
    ShowWindow(form.Handle(), SW_SHOWNA);
    HWND box = form.Get(TextPart::Plain_RichEdit).hwnd;
    form.SetTextOf(form.Get(TextPart::Plain_RichEdit), "selected text");
    SetFocus(box);
    SendMessageA(box, EM_SETSEL, 0, -1);
    BYTE keys[256] = {}, pressed[256] = {};
    GetKeyboardState(keys);
    std::memcpy(pressed, keys, sizeof keys);
    const DWORD before = GetClipboardSequenceNumber();
    // Ctrl+C, Ctrl+X and Ctrl+Insert, then Shift+Delete, as the box sees them.
    const std::pair<int, int> copyKeys[] = {
        {VK_CONTROL, 'C'}, {VK_CONTROL, 'X'}, {VK_CONTROL, VK_INSERT}, {VK_SHIFT, VK_DELETE}};
    for (const auto& [modifier, key] : copyKeys) {
        pressed[VK_CONTROL] = pressed[VK_SHIFT] = 0;
        pressed[modifier] = 0x80;
        SetKeyboardState(pressed);
        PostMessageA(box, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        ProcessPendingMessages();
    }
    SetKeyboardState(keys);
    EXPECT_EQ(GetClipboardSequenceNumber(), before);
    EXPECT_EQ(WindowTextOf(box), "selected text");
}

// A dialog shown modally over a main window, with real message boxes.
enum class ProbePart { Fail_Button, Ask_Button, Again_Button, Count };

class ProbeForm : public FormOf<ProbePart> {
  public:
    explicit ProbeForm(MessageDialog& messages);
    ProbeForm(MessageDialog& messages, const FormSpec& design);
    void FailClick() { throw std::runtime_error("Error getting clipboard data"); }
    void AskClick() {
        answer = Messages().Show("Proceed ?", MessageKind::Warning, MessageButtons::YesNo);
    }
    void AgainClick() { ShowModal(); }
    bool failShow = false;
    int shows = 0;
    MessageAnswer answer = MessageAnswer::Closed;

  protected:
    void FormShow() override {
        ++shows;
        if (failShow) throw std::runtime_error("Error getting clipboard data");
    }
};

constexpr auto kProbeLayout = LayoutOf<ProbeForm>({
    {.part = ProbePart::Fail_Button,
     .name = "Fail_Button",
     .kind = ComponentKind::Button,
     .width = 60,
     .height = 20,
     .caption = "Fail",
     .onClick = Bind<&ProbeForm::FailClick>},
    {.part = ProbePart::Ask_Button,
     .name = "Ask_Button",
     .kind = ComponentKind::Button,
     .top = 30,
     .width = 60,
     .height = 20,
     .caption = "Ask",
     .onClick = Bind<&ProbeForm::AskClick>},
    {.part = ProbePart::Again_Button,
     .name = "Again_Button",
     .kind = ComponentKind::Button,
     .top = 60,
     .width = 60,
     .height = 20,
     .caption = "Again",
     .onClick = Bind<&ProbeForm::AgainClick>},
});

const FormSpec kProbeForm{.className = "TProbeForm",
                          .caption = "Probe",
                          .style = WS_OVERLAPPEDWINDOW,
                          .exStyle = 0,
                          .left = 300,
                          .top = 60,
                          .width = 120,
                          .height = 90,
                          .clientSized = true,
                          .font = {},
                          .designDpi = 96,
                          .designTextHeight = 13,
                          .components = kProbeLayout};

ProbeForm::ProbeForm(MessageDialog& messages) : ProbeForm(messages, kProbeForm) {}
ProbeForm::ProbeForm(MessageDialog& messages, const FormSpec& design)
    : FormOf(design, messages, nullptr) {}

void Post(Form& form, const Form::Component& c) {
    PostMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(c.hwnd));
}

struct ModalTest : FormTest {
    Win32MessageDialog boxes;
    TestForm main{messages};  // the first form is the main one
    ProbeForm dialog{boxes};
    std::vector<bool> mainEnabled;  // seen while the dialog is up, after each box

    void SetUp() override { main.Show(); }
    // Waits until no box is up and the dialog is, then notes the main window's state.
    TimerScript::Step NoteMainWindow() {
        return [this] {
            if (FindThreadBox() || !IsWindowVisible(dialog.Handle())) return false;
            mainEnabled.push_back(IsWindowEnabled(main.Handle()));
            return true;
        };
    }
    static TimerScript::Step Answer(WPARAM key) {
        return [key] {
            HWND box = FindThreadBox();
            if (box) PressInBox(box, key);
            return box != nullptr;
        };
    }
    TimerScript::Step Then(std::function<void()> action) {
        return [action] {
            action();
            return true;
        };
    }
    std::function<void()> CloseDialog() {
        return [this] { PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0); };
    }
};

TEST_F(ModalTest, NoBoxEnablesWhatTheModalStateDisabled) {
    dialog.failShow = true;
    TimerScript script(
        {
            Answer(VK_RETURN),  // the error of the first load, before the dialog shows
            NoteMainWindow(),
            Then([&] {
                Post(dialog, dialog.Get(ProbePart::Fail_Button));
            }),  // an error while it is up
            Answer(VK_RETURN),
            NoteMainWindow(),
            Then([&] { Post(dialog, dialog.Get(ProbePart::Ask_Button)); }),  // a question
            Answer(VK_RETURN),
            NoteMainWindow(),
            Then(CloseDialog()),
        },
        CloseDialog());
    dialog.ShowModal();
    EXPECT_TRUE(script.Finished());
    EXPECT_THAT(mainEnabled, ElementsAre(false, false, false));
    EXPECT_EQ(dialog.answer, MessageAnswer::Yes);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));  // closing restores what it disabled
    EXPECT_TRUE(IsWindowEnabled(dialog.Handle()));
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
}

// Refuses to make this thread's windows of one caption, as Windows does
// once it has no window handle left to give.
class RefusedWindows {
  public:
    explicit RefusedWindows(const char* caption)
        : hook_(SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId())) {
        refused = caption;
    }
    ~RefusedWindows() { UnhookWindowsHookEx(hook_); }
    RefusedWindows(const RefusedWindows&) = delete;
    RefusedWindows& operator=(const RefusedWindows&) = delete;

  private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const char* caption = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszName;
            if (caption && !IS_INTRESOURCE(caption) && refused == caption) return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline std::string refused;
    HHOOK hook_;
};

int ChildWindowsOf(HWND window) {
    int count = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++count;
    return count;
}

TEST_F(ModalTest, AFailureToMakeTheComponentsLeavesTheProgramUsable) {
    FormSpec design = kProbeForm;
    design.className = "TOnDemandProbeForm";
    design.componentsOnDemand = true;
    ProbeForm onDemand(boxes, design);
    {
        RefusedWindows refused("Again");  // the last of its controls
        EXPECT_THROW(onDemand.ShowModal(), std::runtime_error);
    }
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
    EXPECT_FALSE(onDemand.HasComponents());
    EXPECT_EQ(ChildWindowsOf(onDemand.Handle()), 0);  // nothing of the half-made set is kept

    PostMessageA(onDemand.Handle(), WM_CLOSE, 0, 0);
    onDemand.ShowModal();  // tries again, and shows
    EXPECT_EQ(onDemand.shows, 1);
    EXPECT_EQ(ChildWindowsOf(onDemand.Handle()), 3);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

TEST_F(ModalTest, AFormShownModallyIsNotEnteredAgain) {
    bool returned = false;
    TimerScript script(
        {
            NoteMainWindow(),
            Then([&] { Post(dialog, dialog.Get(ProbePart::Again_Button)); }),
            [&] {
                // The second show returned at once: the first loop still runs.
                returned = dialog.shows == 1 && IsWindowVisible(dialog.Handle());
                return true;
            },
            NoteMainWindow(),
            Then(CloseDialog()),
        },
        CloseDialog());
    dialog.ShowModal();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(returned);
    EXPECT_EQ(dialog.shows, 1);
    EXPECT_THAT(mainEnabled, ElementsAre(false, false));
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

TEST_F(ModalTest, AModelessFormStaysEnabledWhileAnotherIsModal) {
    FormSpec design = kTestForm;
    design.className = "TModelessForm";
    design.modeless = true;
    OnDemandForm beside(messages, design);
    ShowWindow(beside.Handle(), SW_SHOWNA);
    std::vector<bool> besideEnabled;
    TimerScript script(
        {NoteMainWindow(), Then([&] { besideEnabled.push_back(IsWindowEnabled(beside.Handle())); }),
         Then(CloseDialog())},
        CloseDialog());
    dialog.ShowModal();
    EXPECT_TRUE(script.Finished());
    EXPECT_THAT(mainEnabled, ElementsAre(false));
    EXPECT_THAT(besideEnabled, ElementsAre(true));
}

TEST_F(ModalTest, CloseSentFromAnotherThreadEndsTheLoopAtOnce) {
    HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> endedByTheClose = false;
    std::thread other([&] {
        for (int i = 0; i < 250 && !IsWindowVisible(dialog.Handle()); ++i) Sleep(20);
        SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
        endedByTheClose = WaitForSingleObject(ended, 5000) == WAIT_OBJECT_0;
        if (!endedByTheClose) PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);  // let the test end
    });
    dialog.ShowModal();
    SetEvent(ended);
    other.join();
    CloseHandle(ended);
    EXPECT_TRUE(endedByTheClose);
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
}

}  // namespace
}  // namespace norvane
