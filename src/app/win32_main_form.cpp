#include "app/win32_main_form.h"

#include <array>

#include "app/companion_documents.h"
#include "app/layout_scaling.h"
#include "app/settings.h"
#include "app/stored_texts.h"
#include "clipboard/erase_clipboard.h"
#include "resources/resource_ids.h"
#include "ui/application.h"
#include "util/file_status.h"
#include "util/paths.h"

namespace norvane {

using enum MainFormPart;

namespace {

constexpr char kProductName[] = "Norvane v1.1b";
constexpr char kReleaseDate[] = "November 2002";

using K = ComponentKind;
constexpr FontSpec kButtonFont{.bold = true};

// Creation order is also the order of the layout snapshot.
constexpr auto kLayout = LayoutOf<TMainForm1>({
    {.part = Erase_Clipboard_BitBtn,
     .name = "Erase_Clipboard_BitBtn",
     .kind = K::BitBtn,
     .left = 3,
     .top = 2,
     .width = 191,
     .height = 32,
     .caption = "Erase Clipboard",
     .font = kButtonFont,
     .glyph = IDB_ERASE_GLYPH,
     .hint = "Erase ALL data in the Windows Clipboard.",
     .onClick = Bind<&TMainForm1::Erase_Clipboard_BitBtnClick>},
    {.part = Display_Clipboard_Data_BitBtn,
     .name = "Display_Clipboard_Data_BitBtn",
     .kind = K::BitBtn,
     .left = 3,
     .top = 35,
     .width = 191,
     .height = 32,
     .caption = "Display Clipboard Data",
     .font = kButtonFont,
     .glyph = IDB_CLIPBOARD_GLYPH,
     .onClick = Bind<&TMainForm1::Display_Clipboard_Data_BitBtnClick>},
    {.part = List_Clipboard_Format_BitBtn,
     .name = "List_Clipboard_Format_BitBtn",
     .kind = K::BitBtn,
     .left = 3,
     .top = 69,
     .width = 192,
     .height = 32,
     .caption = "List Clipboard Format",
     .font = kButtonFont,
     .glyph = IDB_CLIPBOARD_GLYPH,
     .onClick = Bind<&TMainForm1::List_Clipboard_Format_BitBtnClick>},
    {.part = Scaling_ListBox,
     .name = "Scaling_ListBox",
     .kind = K::ListBox,
     .left = 197,
     .top = 2,
     .width = 25,
     .height = 29,
     .flags = kHidden,
     .itemHeight = 17},
    {.part = MainMenu1, .name = "MainMenu1", .kind = K::MainMenu},
    {.part = FileMenu,
     .name = "FileMenu",
     .kind = K::MenuItem,
     .parent = MainMenu1,
     .caption = "&File"},
    {.part = Always_On_Top_Option,
     .name = "Always_On_Top_Option",
     .kind = K::MenuItem,
     .parent = FileMenu,
     .caption = "Always &On Top",
     .onClick = Bind<&TMainForm1::Always_On_Top_OptionClick>},
    {.part = Auto_Run_at_Windows_Startup_Option,
     .name = "Auto_Run_at_Windows_Startup_Option",
     .kind = K::MenuItem,
     .parent = FileMenu,
     .caption = "&Auto-Run at Windows Startup",
     .onClick = Bind<&TMainForm1::Auto_Run_at_Windows_Startup_OptionClick>},
    {.part = Restore_Factory_Defaults_Option,
     .name = "Restore_Factory_Defaults_Option",
     .kind = K::MenuItem,
     .parent = FileMenu,
     .caption = "&Restore Factory Defaults",
     .onClick = Bind<&TMainForm1::Restore_Factory_Defaults_OptionClick>},
    {.part = N2, .name = "N2", .kind = K::MenuItem, .parent = FileMenu, .caption = "-"},
    {.part = ExitOption,
     .name = "ExitOption",
     .kind = K::MenuItem,
     .parent = FileMenu,
     .caption = "E&xit",
     .onClick = Bind<&TMainForm1::ExitOptionClick>},
    {.part = ViewMenu,
     .name = "ViewMenu",
     .kind = K::MenuItem,
     .parent = MainMenu1,
     .caption = "&View"},
    {.part = Clipboard_Journal_Option,
     .name = "Clipboard_Journal_Option",
     .kind = K::MenuItem,
     .parent = ViewMenu,
     .caption = "Clipboard &Journal...",
     .onClick = Bind<&TMainForm1::Clipboard_Journal_OptionClick>},
    {.part = HelpMenu,
     .name = "HelpMenu",
     .kind = K::MenuItem,
     .parent = MainMenu1,
     .caption = "&Help"},
    {.part = View_Readme_file_Option,
     .name = "View_Readme_file_Option",
     .kind = K::MenuItem,
     .parent = HelpMenu,
     .caption = "&View Readme file",
     .onClick = Bind<&TMainForm1::View_Readme_file_OptionClick>},
    {.part = View_Shareware_Catalog_Option,
     .name = "View_Shareware_Catalog_Option",
     .kind = K::MenuItem,
     .parent = HelpMenu,
     .caption = "View &Shareware Catalog",
     .onClick = Bind<&TMainForm1::View_Shareware_Catalog_OptionClick>},
    {.part = About1, .name = "About1", .kind = K::MenuItem, .parent = HelpMenu, .caption = "-"},
    {.part = AboutOption,
     .name = "AboutOption",
     .kind = K::MenuItem,
     .parent = HelpMenu,
     .caption = "&About",
     .onClick = Bind<&TMainForm1::AboutOptionClick>},
});

const FormSpec kForm{
    .className = "TMainForm1",
    .caption = "??",
    .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
    .exStyle = 0,
    .left = 266,
    .top = 54,
    .width = 250,
    .height = 183,
    .clientSized = false,
    .font = {.face = "Times New Roman", .height = -15},
    .designDpi = 96,
    .designTextHeight = 17,
    .components = kLayout,
    .icon = IDI_MAINICON,
};

}  // namespace

TMainForm1::TMainForm1(MessageDialog& messages, ClipboardService& clipboard,
                       RegistryStore& registry)
    : FormOf(kForm, messages, nullptr), clipboard_(clipboard), registry_(registry) {}

RunEntry TMainForm1::MakeRunEntry() {
    return RunEntry(registry_, Messages(), ExecutablePath());
}

void TMainForm1::FormShow() {
    Component& list = Get(List_Clipboard_Format_BitBtn);
    const Bounds listBounds = BoundsOf(list);
    SetClientHeight(listBounds.top + listBounds.height + BoundsOf(Get(Erase_Clipboard_BitBtn)).top);
    SetClientWidth(listBounds.width + 2 * listBounds.left);
    TakeLayoutSnapshot();
    const bool maximised = LoadSettings();
    Set_Product_Identity();
    ApplyStartupShowState();
    if (maximised) ShowWindow(Handle(), SW_SHOWMAXIMIZED);
    Component& onTop = Get(Always_On_Top_Option);
    SetChecked(onTop, !IsChecked(onTop));
    ToggleAlwaysOnTop();
    SetChecked(Get(Auto_Run_at_Windows_Startup_Option), MakeRunEntry().Verify());
}

void TMainForm1::FormResize() {
    RescaleLayout();
}

void TMainForm1::FormCloseQuery(bool& /*canClose*/) {
    SaveSettings();
}

void TMainForm1::FormActivate() {}

void TMainForm1::ApplyStartupShowState() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    ShowWindow(Handle(), startup.wShowWindow);
}

void TMainForm1::AttachDialogs(TAboutBox& about, Form& viewer, Form& formats) {
    about_ = &about;
    viewer_ = &viewer;
    formats_ = &formats;
    // Attached after the show sequence named the program: the About
    // dialog gets its texts now.
    if (identitySet_) WriteAboutIdentity();
}

void TMainForm1::MakeDialogs() {
    if (about_ || !makeDialogs_) return;
    // Once, also when making them fails half-way: the error is shown, and
    // the commands then find no dialog rather than half of one.
    const auto makeDialogs = std::move(makeDialogs_);
    makeDialogs_ = nullptr;
    makeDialogs();
}

void TMainForm1::Set_Product_Identity() {
    SetApplicationTitle(kProductName);
    SetCaption(kProductName);
    identitySet_ = true;
    WriteAboutIdentity();
}

void TMainForm1::WriteAboutIdentity() {
    if (!about_) return;
    TAboutBox& about = *about_;
    about.SetCaption(std::string("About ") + kProductName + " ...");
    // Kept by the dialog until its first showing makes its components.
    const auto write = [&](AboutBoxPart part, const std::string& text) {
        about.SetTextAt(part, text);
    };
    SYSTEMTIME now{};
    GetLocalTime(&now);
    write(AboutBoxPart::ProductName, kProductName);
    write(AboutBoxPart::Author_and_Date, stored::kAuthorCredit.Display() + ", " + kReleaseDate);
    write(AboutBoxPart::Developed_using, stored::kToolCredit.Display());
    write(AboutBoxPart::Copyright, stored::kCopyrightLine.Display() + std::to_string(now.wYear));
    write(AboutBoxPart::Comments, stored::kCommentLine.Display());
    write(AboutBoxPart::WEB_Page_Label, stored::kWebPageLine.Display());
    write(AboutBoxPart::Email_Button, stored::kContactEmail.Display());
    write(AboutBoxPart::WEB_Button, stored::kWebAddress.Display());
}

void TMainForm1::TakeLayoutSnapshot() {
    Component& list = Get(Scaling_ListBox);
    if (SendMessageA(list.hwnd, LB_GETCOUNT, 0, 0) > 0) return;
    auto add = [&](const std::string& line) {
        SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    };
    add(SnapshotHeader(ClientWidth(), ClientHeight()));
    for (const Component& c : Components()) {
        if (!c.IsControl()) {
            add(std::string(kNotAControlLine));
            continue;
        }
        const Bounds b = BoundsOf(c);
        add(SnapshotLine({b.left, b.width, b.top, b.height, FontSizeOf(c)}, c.name));
    }
}

void TMainForm1::RescaleLayout() {
    Component& list = Get(Scaling_ListBox);
    const auto count = SendMessageA(list.hwnd, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    auto line = [&](LRESULT index) { return ListBoxLineOf(list.hwnd, static_cast<int>(index)); };
    const ScaleRatios ratios = RatiosFor(line(0), ClientWidth(), ClientHeight());
    auto& components = Components();
    for (std::size_t i = 0; i < components.size() && static_cast<LRESULT>(i) + 1 < count; ++i) {
        const auto scaled = ScaleLine(line(static_cast<LRESULT>(i) + 1), ratios);
        if (!scaled || !components[i].IsControl()) continue;
        SetBoundsOf(components[i], {scaled->left, scaled->top, scaled->width, scaled->height});
        SetFontSizeOf(components[i], scaled->fontSize);
    }
}

void TMainForm1::ToggleAlwaysOnTop() {
    Component& item = Get(Always_On_Top_Option);
    const bool onTop = !IsChecked(item);
    SetChecked(item, onTop);
    SetWindowPos(Handle(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool TMainForm1::LoadSettings() {
    const SettingsFile file = SettingsFile::BesideExecutable();
    SetTop(file.ReadInteger("window_top_posn", 200));
    SetLeft(file.ReadInteger("window_left_posn", 200));
    // The design size by default, as the screen's resolution scales it.
    SetWidth(file.ReadInteger("window_Width", Scaled(kForm.width)));
    SetHeight(file.ReadInteger("window_Height", Scaled(kForm.height)));
    SetChecked(Get(Always_On_Top_Option), file.ReadBool("Always_on_Top_Option", false));
    SetChecked(Get(Auto_Run_at_Windows_Startup_Option),
               file.ReadBool("Auto_Run_at_Windows_Startup_Option", false));
    return file.ReadBool("WindowState_wsMaximized", false);
}

void TMainForm1::SaveSettings() {
    const SettingsFile file = SettingsFile::BesideExecutable();
    const bool maximised = IsZoomed(Handle());
    file.WriteBool("WindowState_wsMaximized", maximised);
    if (maximised) ShowWindow(Handle(), SW_RESTORE);
    const Bounds b = OuterBounds();
    file.WriteInteger("window_top_posn", b.top);
    file.WriteInteger("window_left_posn", b.left);
    file.WriteInteger("window_Width", b.width);
    file.WriteInteger("window_Height", b.height);
    file.WriteBool("Always_on_Top_Option", IsChecked(Get(Always_On_Top_Option)));
    file.WriteBool("Auto_Run_at_Windows_Startup_Option",
                   IsChecked(Get(Auto_Run_at_Windows_Startup_Option)));
}

void TMainForm1::RestoreFactoryDefaults() {
    const std::string question = stored::kDefaultsQuestion1.Display() + "\r\n" +
                                 stored::kDefaultsQuestion2.Display() + "\r\n" +
                                 stored::kDefaultsQuestion3.Display() + "\r\n\r\n" +
                                 stored::kDefaultsQuestion4.Display();
    if (Messages().Show(question, MessageKind::Warning, MessageButtons::YesNo) == MessageAnswer::No)
        return;
    DeleteClosedFile(SettingsFile::BesideExecutable().Path());
    ShowWindow(Handle(), SW_RESTORE);
    FormShow();
}

void TMainForm1::Erase_Clipboard_BitBtnClick() {
    EraseClipboard(clipboard_, Handle(), Messages());
}

void TMainForm1::Always_On_Top_OptionClick() {
    ToggleAlwaysOnTop();
}

void TMainForm1::ExitOptionClick() {
    Close();
}

void TMainForm1::Auto_Run_at_Windows_Startup_OptionClick() {
    Component& item = Get(Auto_Run_at_Windows_Startup_Option);
    RunEntry entry = MakeRunEntry();
    if (IsChecked(item)) {
        if (entry.Remove()) SetChecked(item, false);
    } else if (entry.Add()) {
        SetChecked(item, true);
    }
}

void TMainForm1::Restore_Factory_Defaults_OptionClick() {
    RestoreFactoryDefaults();
}

void TMainForm1::View_Readme_file_OptionClick() {
    ViewReadmeFile(Messages());
}

void TMainForm1::View_Shareware_Catalog_OptionClick() {
    ViewCatalogFile(Messages(), about_ ? about_->TextAt(AboutBoxPart::ProductName) : kProductName);
}

void TMainForm1::Display_Clipboard_Data_BitBtnClick() {
    MakeDialogs();
    if (viewer_) viewer_->ShowModal();
}

void TMainForm1::List_Clipboard_Format_BitBtnClick() {
    MakeDialogs();
    if (formats_) formats_->ShowModal();
}

void TMainForm1::Clipboard_Journal_OptionClick() {
    MakeDialogs();
    if (openJournal_) openJournal_();
}

void TMainForm1::AboutOptionClick() {
    MakeDialogs();
    if (about_) about_->ShowModal();
}

}  // namespace norvane
