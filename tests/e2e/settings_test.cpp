// The settings file, Always On Top and Restore Factory Defaults, through the program.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace e2e {
namespace {

// No Run entry: the Auto-Run mark follows the registry.
struct Settings : FreshStart {
    std::string Ini() const { return folder + "norvanel.ini"; }
    void WriteIni(const std::string& lines) { WriteFile(Ini(), "[norvanel]\r\n" + lines); }
    static Bounds Of(HWND w) {
        const RECT r = WindowRectOf(w);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    void Exit(const Norvane& program) {
        program.ChooseMenu('f', 'x');
        ASSERT_TRUE(program.WaitForExit(10s));
    }
};

TEST_F(Settings, MaximisedWindowComesBackMaximisedWithItsNormalBounds) {
    WriteIni(
        "window_top_posn=120\r\nwindow_left_posn=130\r\nwindow_Width=300\r\nwindow_Height=220\r\n");
    {
        Norvane program(folder);
        EXPECT_EQ(Of(program.Main()), (Bounds{130, 120, 300, 220}));
        // What the caption bar's Maximize button sends.
        PostMessageA(program.Main(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(WaitUntil([&] { return IsZoomed(program.Main()); }));
        Exit(program);
    }
    const std::string ini = ReadFile(Ini());
    EXPECT_NE(ini.find("WindowState_wsMaximized=1\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("window_left_posn=130\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("window_Width=300\r\n"), std::string::npos) << ini;
    Norvane again(folder);
    EXPECT_TRUE(IsZoomed(again.Main()));
    PostMessageA(again.Main(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] {
        return Of(again.Main()) == Bounds{130, 120, 300, 220};
    })) << Of(again.Main());
    EXPECT_FALSE(IsZoomed(again.Main()));
}

TEST_F(Settings, NumbersFollowTheProfileRules) {
    WriteIni(
        "window_Width=0x120\r\nwindow_Height=abc\r\nwindow_top_posn=  "
        "$40\r\nwindow_left_posn=-0\r\n");
    Norvane program(folder);
    EXPECT_EQ(Of(program.Main()), (Bounds{0, 64, 288, 183}));
}

TEST_F(Settings, UnknownKeysSurviveAndKnownOnesAreRewrittenInPlace) {
    WriteIni("window_Width=260\r\nMy_Own_Key=kept\r\n");
    WriteFile(Ini(), ReadFile(Ini()) + "[other]\r\nx=1\r\n");
    Norvane program(folder);
    Exit(program);
    const std::string ini = ReadFile(Ini());
    EXPECT_NE(ini.find("My_Own_Key=kept"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[other]\r\nx=1"), std::string::npos) << ini;
    EXPECT_NE(ini.find("window_Width=260"), std::string::npos) << ini;
}

TEST_F(Settings, AlwaysOnTopIsRestoredAndToggled) {
    WriteIni("Always_on_Top_Option=1\r\n");
    Norvane program(folder);
    EXPECT_TRUE(IsTopmost(program.Main()));
    program.ChooseMenu('f', 'o');
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(program.Main()); }));
    Exit(program);
    EXPECT_NE(ReadFile(Ini()).find("Always_on_Top_Option=0\r\n"), std::string::npos);
}

TEST_F(Settings, RestoreFactoryDefaultsAsksFirst) {
    WriteIni(
        "window_top_posn=50\r\nwindow_left_posn=60\r\nwindow_Width=400\r\nwindow_Height=300\r\n"
        "Always_on_Top_Option=1\r\nWindowState_wsMaximized=1\r\n");
    Norvane program(folder);
    ASSERT_TRUE(IsZoomed(program.Main()));
    ASSERT_TRUE(IsTopmost(program.Main()));

    program.ChooseMenu('f', 'r');
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Warning");
    EXPECT_EQ(box->text,
              "Restore Factory Defaults puts Norvane back as it was first installed:\r\n"
              "the window returns to its first place and size, not maximised,\r\n"
              "and Always On Top is switched off.\r\n\r\n"
              "Do you want to restore the factory defaults now ?");
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"&Yes", "&No"}));
    program.Answer(*box, "&No");
    EXPECT_TRUE(IsZoomed(program.Main()));
    EXPECT_TRUE(IsTopmost(program.Main()));
    EXPECT_TRUE(FileExists(Ini()));

    program.ChooseMenu('f', 'r');
    box = program.WaitForMessageBox();
    ASSERT_TRUE(box);
    program.Answer(*box, "&Yes");
    // The show sequence runs again after the answer.
    EXPECT_TRUE(WaitUntil([&] {
        return Of(program.Main()) == Bounds{200, 200, 250, 183};
    })) << Of(program.Main());
    EXPECT_FALSE(IsZoomed(program.Main()));
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(program.Main()); }));
    EXPECT_FALSE(FileExists(Ini()));
    Exit(program);
    EXPECT_NE(ReadFile(Ini()).find("window_Width=250\r\n"), std::string::npos);
}

TEST_F(Settings, EscapeAnswersNoToTheQuestion) {
    WriteIni("window_Width=333\r\n");
    Norvane program(folder);
    program.ChooseMenu('f', 'r');
    auto box = program.WaitForMessageBox();
    ASSERT_TRUE(box);
    program.PressKey(VK_ESCAPE);
    Sleep(500);
    EXPECT_TRUE(program.Windows("#32770").empty());
    EXPECT_TRUE(FileExists(Ini()));
    EXPECT_EQ(Of(program.Main()).width, 333);
}

TEST_F(Settings, UnwritableFileIsReportedAndTheProgramStillCloses) {
    WriteIni("window_Width=260\r\n");
    Norvane program(folder);
    {
        FileHolder holder(Ini());  // another process holds it open, without sharing
        program.ChooseMenu('f', 'x');
        ASSERT_TRUE(program.ExpectBox("Norvane v1.1b", "Unable to write to " + Ini()));
        ASSERT_TRUE(program.WaitForExit(10s));
    }
    EXPECT_EQ(ReadFile(Ini()), "[norvanel]\r\nwindow_Width=260\r\n");
}

TEST_F(Settings, ShutDownSavesOnceAndIsNeverRefused) {
    Norvane program(folder);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(program.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
    EXPECT_TRUE(FileExists(Ini()));
}

TEST_F(Settings, AnotherExecutableNameInAFolderWithBlanksUsesTheSameFileName) {
    const std::string blanks = folder + "with blanks\\";
    CreateDirectoryA(blanks.c_str(), nullptr);
    Norvane program(blanks, SW_SHOWNORMAL, true, "other name.exe");
    Exit(program);
    EXPECT_TRUE(FileExists(blanks + "norvanel.ini"));
}

}  // namespace
}  // namespace e2e
