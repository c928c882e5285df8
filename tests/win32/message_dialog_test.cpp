// Real message boxes, answered from a timer that runs inside their modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/application.h"
#include "ui/win32_message_dialog.h"
#include "win32/timer_script.h"

namespace norvane {
namespace {

struct Seen {
    std::string title;
    std::string text;
    WPARAM key = 0;
    HWND owner = nullptr;
    bool ownerEnabled = true;
};
Seen seen;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = testing::FindThreadBox();
    if (!box) return;
    KillTimer(nullptr, timer);
    char text[512] = {};
    GetWindowTextA(box, text, sizeof text);
    seen.title = text;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.text = text;
    seen.owner = GetWindow(box, GW_OWNER);
    seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
    testing::PressInBox(box, seen.key);
}

MessageAnswer ShowAndPress(WPARAM key, MessageKind kind, MessageButtons buttons) {
    seen = {};
    seen.key = key;
    SetTimer(nullptr, 0, 100, AnswerBox);
    return Win32MessageDialog().Show("Proceed ?", kind, buttons);
}

TEST(MessageDialog, EscapeAnswersNoAndEnterYes) {
    EXPECT_EQ(ShowAndPress(VK_ESCAPE, MessageKind::Warning, MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(seen.title, "Warning");
    EXPECT_EQ(seen.text, "Proceed ?");
    EXPECT_EQ(ShowAndPress(VK_RETURN, MessageKind::Warning, MessageButtons::YesNo),
              MessageAnswer::Yes);
}

TEST(MessageDialog, KindsAreTitled) {
    EXPECT_EQ(ShowAndPress(VK_RETURN, MessageKind::Error, MessageButtons::Ok), MessageAnswer::Ok);
    EXPECT_EQ(seen.title, "Error");
    EXPECT_EQ(ShowAndPress(VK_RETURN, MessageKind::Information, MessageButtons::Ok),
              MessageAnswer::Ok);
    EXPECT_EQ(seen.title, "Information");
}

TEST(MessageDialog, ErrorBoxCarriesTheApplicationTitle) {
    SetApplicationTitle("Norvane v1.1b");
    seen = {};
    seen.key = VK_RETURN;
    SetTimer(nullptr, 0, 100, AnswerBox);
    Win32MessageDialog().ShowError("Unable to write to C:\\x.ini");
    EXPECT_EQ(seen.title, "Norvane v1.1b");
    EXPECT_EQ(seen.text, "Unable to write to C:\\x.ini");
}

// A box raised for a window that is not the active one (a result that came
// later) is owned by that window, which takes no input while it is up.
TEST(MessageDialog, OwnedByTheWindowItConcerns) {
    const auto window = [] {
        return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
    };
    const HWND concerned = window(), active = window();
    SetActiveWindow(active);
    {
        const BoxesOwnedBy owner(concerned);
        ShowAndPress(VK_RETURN, MessageKind::Warning, MessageButtons::Ok);
    }
    EXPECT_EQ(seen.owner, concerned);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(concerned));
    SetActiveWindow(active);
    ShowAndPress(VK_RETURN, MessageKind::Warning, MessageButtons::Ok);
    EXPECT_EQ(seen.owner, active);
    DestroyWindow(concerned);
    DestroyWindow(active);
}

}  // namespace
}  // namespace norvane
