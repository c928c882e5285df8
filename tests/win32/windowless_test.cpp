// Windowless components in a form: placement inside containers, painting
// into a device context the form is handed, clicks and cursors by hit test,
// and the drawing order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "fakes/recording_messages.h"
#include "ui/form.h"
#include "win32/pixels.h"
#include "win32/test_forms.h"

namespace norvane {
namespace {

using testing::RecordingMessages;

enum class FramesPart {
    Box_GroupBox,
    Back_Bevel,
    Front_Bevel,
    Inner_Button,
    Hidden_Bevel,
    Failing_Bevel,
    Count,
};

class FramesForm : public FormOf<FramesPart> {
  public:
    explicit FramesForm(MessageDialog& messages);
    void BackClick() { ++backClicks; }
    void FrontClick() { ++frontClicks; }
    void HiddenClick() { ++hiddenClicks; }
    void FailingClick() { throw std::runtime_error("click failed"); }
    int backClicks = 0, frontClicks = 0, hiddenClicks = 0;
};

constexpr auto kFramesLayout = LayoutOf<FramesForm>({
    {.part = FramesPart::Box_GroupBox,
     .name = "Box_GroupBox",
     .kind = ComponentKind::GroupBox,
     .left = 10,
     .top = 10,
     .width = 150,
     .height = 120,
     .caption = "Box"},
    {.part = FramesPart::Back_Bevel,
     .name = "Back_Bevel",
     .kind = ComponentKind::Bevel,
     .parent = FramesPart::Box_GroupBox,
     .left = 5,
     .top = 14,
     .width = 60,
     .height = 50,
     .onClick = Bind<&FramesForm::BackClick>},
    {.part = FramesPart::Front_Bevel,
     .name = "Front_Bevel",
     .kind = ComponentKind::Bevel,
     .parent = FramesPart::Box_GroupBox,
     .left = 30,
     .top = 30,
     .width = 60,
     .height = 50,
     .onClick = Bind<&FramesForm::FrontClick>},
    {.part = FramesPart::Inner_Button,
     .name = "Inner_Button",
     .kind = ComponentKind::Button,
     .parent = FramesPart::Box_GroupBox,
     .left = 70,
     .top = 85,
     .width = 60,
     .height = 25,
     .caption = "Inner"},
    {.part = FramesPart::Hidden_Bevel,
     .name = "Hidden_Bevel",
     .kind = ComponentKind::Bevel,
     .left = 170,
     .top = 10,
     .width = 20,
     .height = 20,
     .flags = kHidden,
     .onClick = Bind<&FramesForm::HiddenClick>},
    {.part = FramesPart::Failing_Bevel,
     .name = "Failing_Bevel",
     .kind = ComponentKind::Bevel,
     .left = 170,
     .top = 100,
     .width = 20,
     .height = 20,
     .onClick = Bind<&FramesForm::FailingClick>},
});

const FormSpec kFramesForm = testing::TestFormSpec("TFramesForm", kFramesLayout, 200, 150);

FramesForm::FramesForm(MessageDialog& messages) : FormOf(kFramesForm, messages, nullptr) {}

// A press and a release of the left button at a point of the client area.
void ClickAt(Form& form, int x, int y, int releaseX, int releaseY) {
    SendMessageA(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(releaseX, releaseY));
}
void ClickAt(Form& form, int x, int y) {
    ClickAt(form, x, y, x, y);
}

struct WindowlessTest : ::testing::Test {
    RecordingMessages messages;
    FramesForm form{messages};
};

TEST_F(WindowlessTest, ContainedComponentsArePlacedInFormCoordinates) {
    EXPECT_TRUE(form.Get(FramesPart::Back_Bevel).IsControl());
    EXPECT_EQ(form.Get(FramesPart::Back_Bevel).hwnd, nullptr);
    EXPECT_NE(form.GraphicOf(form.Get(FramesPart::Back_Bevel)), nullptr);
    EXPECT_EQ(form.BoundsOf(form.Get(FramesPart::Back_Bevel)), (Bounds{15, 24, 60, 50}));
    // A window in a container is still a child of the form itself.
    const auto& button = form.Get(FramesPart::Inner_Button);
    EXPECT_EQ(GetParent(button.hwnd), form.Handle());
    EXPECT_EQ(form.BoundsOf(button), (Bounds{80, 95, 60, 25}));
    EXPECT_FALSE(form.IsVisible(form.Get(FramesPart::Hidden_Bevel)));
    EXPECT_TRUE(form.IsVisible(form.Get(FramesPart::Back_Bevel)));
}

TEST_F(WindowlessTest, ClicksGoToTheTopmostControlUnderThePointer) {
    ClickAt(form, 50, 60);  // both bevels lie there; the later one on top
    EXPECT_EQ(form.frontClicks, 1);
    EXPECT_EQ(form.backClicks, 0);
    ClickAt(form, 20, 30);  // only the back one
    EXPECT_EQ(form.backClicks, 1);

    form.SendToBack(form.Get(FramesPart::Front_Bevel));
    ClickAt(form, 50, 60);
    EXPECT_EQ(form.backClicks, 2);
    form.BringToFront(form.Get(FramesPart::Front_Bevel));
    ClickAt(form, 50, 60);
    EXPECT_EQ(form.frontClicks, 2);
}

TEST_F(WindowlessTest, AClickIsAPressAndAReleaseOverTheSameControl) {
    ClickAt(form, 50, 60, 190, 145);  // released outside
    EXPECT_EQ(form.frontClicks, 0);
    ClickAt(form, 5, 5);     // over no control
    ClickAt(form, 180, 20);  // over the hidden one
    EXPECT_EQ(form.hiddenClicks, 0);
    form.SetVisible(form.Get(FramesPart::Hidden_Bevel), true);
    ClickAt(form, 180, 20);
    EXPECT_EQ(form.hiddenClicks, 1);
    // The second press of a double click makes no second click.
    ClickAt(form, 50, 60);
    SendMessageA(form.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 60));
    SendMessageA(form.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(50, 60));
    EXPECT_EQ(form.frontClicks, 1);
}

TEST_F(WindowlessTest, AFailingClickHandlerGoesToTheErrorBox) {
    ClickAt(form, 180, 110);
    EXPECT_THAT(messages.errors, ::testing::ElementsAre("click failed"));
}

TEST_F(WindowlessTest, PaintsBackgroundAndFramesIntoAGivenContext) {
    form.SetVisible(form.Get(FramesPart::Hidden_Bevel), true);
    form.SetVisible(form.Get(FramesPart::Hidden_Bevel), false);
    const int w = form.ClientWidth(), h = form.ClientHeight();
    testing::Canvas canvas(w, h, RGB(1, 2, 3));
    SendMessageA(form.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
    SendMessageA(form.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(canvas.dc()), 0);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(canvas.At(3, 3), face);
    // A bevel is a frame: its edges drawn, its inside left to what is behind.
    EXPECT_NE(canvas.At(15, 50), face);
    EXPECT_NE(canvas.At(74, 50), face);
    EXPECT_EQ(canvas.At(30, 50), face);
    // The group box's etched frame.
    EXPECT_NE(canvas.At(10, 50), face);
    EXPECT_NE(canvas.At(159, 50), face);
    // The hidden bevel leaves its place to the background.
    EXPECT_EQ(canvas.At(170, 15), face);
    // The group box's caption: text pixels not of the background colour.
    int text = 0;
    for (int x = 18; x < 50; ++x)
        for (int y = 10; y < 25; ++y) text += canvas.At(x, y) != face;
    EXPECT_GT(text, 5);
}

// A paint whose drawing throws is ended all the same: the device context it
// took goes back to the window's cache, where the next one comes from.
TEST(PaintScope, APaintIsEndedAlsoWhenDrawingThrows) {
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40,
                                  40, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    InvalidateRect(window, nullptr, FALSE);
    HDC painted = nullptr;
    const auto paint = [&] {
        const PaintScope scope(window);
        painted = scope.dc();
        throw std::runtime_error("drawing failed");
    };
    EXPECT_THROW(paint(), std::runtime_error);
    ASSERT_TRUE(painted);
    {
        const WindowDC next(window);
        EXPECT_EQ(next.get(), painted);
    }
    DestroyWindow(window);
}

TEST_F(WindowlessTest, EveryComponentHasItsOwnCursor) {
    HCURSOR hand = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
    HCURSOR cross = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS));
    form.SetCursorOf(form.Get(FramesPart::Front_Bevel), hand);
    form.SetCursorOf(form.Get(FramesPart::Inner_Button), cross);
    ShowWindow(form.Handle(), SW_SHOWNA);
    UpdateWindow(form.Handle());
    POINT p{50, 60};
    ClientToScreen(form.Handle(), &p);
    SetCursorPos(p.x, p.y);
    SetCursor(nullptr);
    SendMessageA(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), hand);
    // A child window's default handling asks the form first.
    HWND button = form.Get(FramesPart::Inner_Button).hwnd;
    SendMessageA(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), cross);
    // Over a control without a cursor of its own: the class cursor.
    p = {20, 30};
    ClientToScreen(form.Handle(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

}  // namespace
}  // namespace norvane
