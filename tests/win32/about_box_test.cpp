// The About dialog in this process: the identity the main window writes into
// it, and the maker's messages it draws.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "about/win32_about_box.h"
#include "app/win32_main_form.h"
#include "clipboard/win32_formats_form.h"
#include "clipboard/win32_viewer_form.h"
#include "fakes/fake_clipboard.h"
#include "fakes/fake_registry.h"
#include "fakes/recording_messages.h"
#include "gif_control/win32_gif_image.h"
#include "ui/application.h"

namespace norvane {
namespace {

using enum AboutBoxPart;

struct AboutBoxTest : ::testing::Test {
    testing::RecordingMessages messages;
    testing::FakeClipboard clipboard;
    testing::FakeRegistry registry;
    TMainForm1 main{messages, clipboard, registry};
    TAboutBox about{messages, main.Handle()};
    TClipboard_Viewer_Form viewer{messages, clipboard, main.Handle()};
    TClipboard_Formats_Form formats{messages, clipboard, main.Handle()};

    AboutBoxTest() { main.AttachDialogs(about, viewer, formats); }
    std::string Text(AboutBoxPart part) { return about.TextOf(about.Get(part)); }
};

TEST_F(AboutBoxTest, ProductIdentityIsWrittenIntoBothWindows) {
    main.Set_Product_Identity();
    EXPECT_EQ(ApplicationTitle(), "Norvane v1.1b");
    EXPECT_EQ(main.Caption(), "Norvane v1.1b");
    EXPECT_EQ(about.Caption(), "About Norvane v1.1b ...");
    EXPECT_EQ(Text(ProductName), "Norvane v1.1b");
    EXPECT_EQ(Text(Author_and_Date), "Written by Varnok, November 2002");
    EXPECT_EQ(Text(Developed_using), "Developed in C++ on the Win32 API");
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(Text(Copyright), "Copyright \xA9 Varnok 2002-" + std::to_string(now.wYear));
    EXPECT_EQ(Text(Comments), "Comments and ideas by e-mail:");
    EXPECT_EQ(Text(WEB_Page_Label), "More utilities on the web:");
    EXPECT_EQ(Text(Email_Button), "mail@varnok.test");
    EXPECT_EQ(Text(WEB_Button), "http://varnok.test/");
}

// The entry point makes the dialogs after the main window's show sequence
// has run: the About dialog attached then shows the same identity.
TEST(AboutBoxMadeAfterTheShowSequence, GetsTheIdentityAsItIsAttached) {
    testing::RecordingMessages messages;
    testing::FakeClipboard clipboard;
    testing::FakeRegistry registry;
    TMainForm1 main{messages, clipboard, registry};
    main.Set_Product_Identity();
    TAboutBox about{messages, main.Handle()};
    TClipboard_Viewer_Form viewer{messages, clipboard, main.Handle()};
    TClipboard_Formats_Form formats{messages, clipboard, main.Handle()};
    EXPECT_EQ(about.Caption(), "??");
    main.AttachDialogs(about, viewer, formats);
    EXPECT_EQ(about.Caption(), "About Norvane v1.1b ...");
    EXPECT_EQ(about.TextAt(ProductName), "Norvane v1.1b");
    EXPECT_EQ(about.TextAt(Author_and_Date), "Written by Varnok, November 2002");
    EXPECT_EQ(about.TextAt(WEB_Button), "http://varnok.test/");
}

// A command that comes before the entry point made the dialogs (from the
// loop of a box the show sequence put up) makes them itself, once.
TEST(DialogsMadeAfterTheFirstPaint, TheFirstCommandMakesThemOnce) {
    testing::RecordingMessages messages;
    testing::FakeClipboard clipboard;
    testing::FakeRegistry registry;
    TMainForm1 main{messages, clipboard, registry};
    std::optional<TAboutBox> about;
    std::optional<TClipboard_Viewer_Form> viewer;
    std::optional<TClipboard_Formats_Form> formats;
    int made = 0, opened = 0;
    main.SetDialogMaker([&] {
        ++made;
        about.emplace(messages, main.Handle());
        viewer.emplace(messages, clipboard, main.Handle());
        formats.emplace(messages, clipboard, main.Handle());
        main.AttachJournal([&] { ++opened; });
        main.AttachDialogs(*about, *viewer, *formats);
    });
    main.Clipboard_Journal_OptionClick();
    main.Clipboard_Journal_OptionClick();
    main.MakeDialogs();  // as the entry point does after the first paint
    EXPECT_EQ(made, 1);
    EXPECT_EQ(opened, 2);
}

// The maker's eleven messages, word for word (doubled blanks, the blank
// ending the seventh and "sofware" included).
const std::set<std::string> kTheEleven{
    "Since 1980, my passion has been writing useful computer sofware.",
    "I hope this program makes your work a little simpler, your play a little better, or your day "
    "a bit easier.",
    "Customer service is important to me.  Why not email me and test this for yourself ?",
    "Tired of software developers not supporting their programs or replying to emails ?  Email me "
    "and experience real customer service.",
    "Useful software needn't be expensive, and my catalog of software proves this.",
    "If you have any comments, suggestions, improvements, or feedback, please email me.",
    "Ensuring you get good value for money is very important to me. ",
    "Useful software needn't take up Gigabytes of disk space, and my catalog of software proves "
    "this.",
    "If you can't find a program you need anywhere, email me - I might be able to help.",
    "If you would like a special program written - email me - I might be able to help.",
    "Got a great idea for a computer program ?  Please email me and let me know.",
};

TEST_F(AboutBoxTest, TheMessageIsAlwaysOneOfTheMakersEleven) {
    std::set<std::string> seen;
    for (int i = 0; i < 400; ++i) {
        about.Quote_Change_TimerTimer();
        const std::string quote = Text(Quote_From_Varnok_Label);
        ASSERT_TRUE(kTheEleven.contains(quote)) << quote;
        seen.insert(quote);
    }
    // 400 draws leave one of eleven out with a chance below 1 in 10^15.
    EXPECT_EQ(seen, kTheEleven) << "the messages are not drawn at random from all eleven";
}

TEST_F(AboutBoxTest, TheFigureComesFromTheSystemsMemoryReport) {
    about.Free_Resources_TimerTimer();
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    const std::string figure = Text(Label4);
    ASSERT_EQ(figure.back(), '%');
    // The load may move a little between the two reports.
    EXPECT_NEAR(std::stoi(figure), 100 - static_cast<int>(status.dwMemoryLoad), 2) << figure;
}

TEST_F(AboutBoxTest, ActivationStartsTimersAndLogoAndOkStopsThemAll) {
    main.Set_Product_Identity();
    ShowWindow(about.Handle(), SW_SHOW);
    SetActiveWindow(about.Handle());
    TGIFImage& logo = about.ControlOf<TGIFImage>(about.Get(Varnok_Logo_GIFImage));
    EXPECT_TRUE(about.IsEnabled(about.Get(Quote_Change_Timer)));
    EXPECT_TRUE(about.IsEnabled(about.Get(Free_Resources_Timer)));
    EXPECT_TRUE(logo.Animate());
    EXPECT_FALSE(about.IsVisible(about.Get(Email_Button)));
    EXPECT_EQ(Text(Email_Address_Label), "mail@varnok.test");
    EXPECT_EQ(about.BoundsOf(about.Get(Email_Address_Label)).top,
              about.BoundsOf(about.Get(Email_Button)).top);

    logo.SetCurrentFrame(5);
    about.OKButtonClick();
    EXPECT_FALSE(IsWindowVisible(about.Handle()));
    EXPECT_FALSE(about.IsEnabled(about.Get(Quote_Change_Timer)));
    EXPECT_FALSE(about.IsEnabled(about.Get(Free_Resources_Timer)));
    EXPECT_FALSE(logo.Animate());
    EXPECT_EQ(logo.CurrentFrame(), 1);
}

TEST_F(AboutBoxTest, ANeverShownDialogAskedToCloseMakesNothing) {
    main.Set_Product_Identity();
    // Windows asks every top-level window at log-off; closing asks the same.
    SendMessageA(about.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageA(about.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(about.HasComponents()) << "no components made, no logo decoded";
}

}  // namespace
}  // namespace norvane
