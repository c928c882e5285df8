#include "about/win32_about_box.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "about/about_texts.h"
#include "gif_control/win32_gif_image.h"
#include "resources/resource_ids.h"
#include "ui/deferred_libraries.h"
#include "util/paths.h"

namespace norvane {

using enum AboutBoxPart;

namespace {

constexpr std::uint8_t kLogoData[] = {
#include "about/res/logo_data.inc"
};
constexpr std::uint8_t kBannerMetafile[] = {
#include "about/res/banner_data.inc"
};

using K = ComponentKind;
constexpr FontSpec kTimes15{.face = "Times New Roman", .height = -15};
constexpr FontSpec kTimes15Bold{.face = "Times New Roman", .height = -15, .bold = true};
constexpr FontSpec kLinkFont{
    .face = "Times New Roman", .height = -16, .bold = true, .underline = true};
constexpr FontSpec kSystem13{.face = "System", .height = -13};
constexpr GifImageMaker kLogoMaker({.stretch = true});

constexpr ComponentDesign<TAboutBox> Line(AboutBoxPart part, const char* name, int top,
                                          const FontSpec& font, unsigned flags) {
    return {.part = part,
            .name = name,
            .kind = K::Label,
            .parent = GroupBox1,
            .left = 205,
            .top = top,
            .width = 380,
            .height = 18,
            .font = font,
            .flags = flags};
}

constexpr auto kLayout = LayoutOf<TAboutBox>({
    {.part = Quote_Change_Timer,
     .name = "Quote_Change_Timer",
     .kind = K::Timer,
     .onTimer = Bind<&TAboutBox::Quote_Change_TimerTimer>,
     .interval = 10000},
    {.part = Free_Resources_Timer,
     .name = "Free_Resources_Timer",
     .kind = K::Timer,
     .onTimer = Bind<&TAboutBox::Free_Resources_TimerTimer>,
     .interval = 500},
    {.part = GroupBox1,
     .name = "GroupBox1",
     .kind = K::GroupBox,
     .left = 0,
     .top = 52,
     .width = 589,
     .height = 301},
    Line(ProductName, "ProductName", 16, kTimes15Bold, kNoWordWrap),
    Line(Author_and_Date, "Author_and_Date", 45, kTimes15Bold, kNoWordWrap),
    Line(Developed_using, "Developed_using", 74, kTimes15, 0),
    Line(Copyright, "Copyright", 103, kTimes15, kNoWordWrap),
    Line(Comments, "Comments", 162, kTimes15, 0),
    Line(WEB_Page_Label, "WEB_Page_Label", 191, kTimes15, 0),
    {.part = Label3,
     .name = "Label3",
     .kind = K::Label,
     .parent = GroupBox1,
     .left = 207,
     .top = 220,
     .caption = "Free System Resources :",
     .font = kTimes15,
     .flags = kAutoSize},
    {.part = Label4,
     .name = "Label4",
     .kind = K::Label,
     .parent = GroupBox1,
     .left = 375,
     .top = 220,
     .caption = "Free %",
     .font = kTimes15,
     .flags = kAutoSize},
    {.part = Email_Button,
     .name = "Email_Button",
     .kind = K::Button,
     .parent = GroupBox1,
     .left = 416,
     .top = 160,
     .width = 169,
     .height = 23,
     .font = kSystem13,
     .hint = "",
     .onClick = Bind<&TAboutBox::Email_ButtonClick>},
    {.part = WEB_Button,
     .name = "WEB_Button",
     .kind = K::Button,
     .parent = GroupBox1,
     .left = 416,
     .top = 189,
     .width = 169,
     .height = 23,
     .font = kSystem13,
     .hint = "",
     .onClick = Bind<&TAboutBox::WEB_ButtonClick>},
    {.part = Quotes_From_Varnok_ListBox,
     .name = "Quotes_From_Varnok_ListBox",
     .kind = K::ListBox,
     .parent = GroupBox1,
     .left = 484,
     .top = 20,
     .width = 97,
     .height = 61,
     .flags = kHidden},
    {.part = Quote_From_Varnok_Label,
     .name = "Quote_From_Varnok_Label",
     .kind = K::Label,
     .parent = GroupBox1,
     .left = 8,
     .top = 184,
     .width = 181,
     .height = 113,
     .font = kTimes15,
     .flags = kCenterText},
    {.part = WEB_Address_Label,
     .name = "WEB_Address_Label",
     .kind = K::Label,
     .parent = GroupBox1,
     .left = 424,
     .top = 104,
     .font = kLinkFont,
     .flags = kAutoSize,
     .onClick = Bind<&TAboutBox::WEB_ButtonClick>,
     .textColor = kBlue},
    {.part = Email_Address_Label,
     .name = "Email_Address_Label",
     .kind = K::Label,
     .parent = GroupBox1,
     .left = 424,
     .top = 136,
     .font = kLinkFont,
     .flags = kAutoSize,
     .onClick = Bind<&TAboutBox::Email_ButtonClick>,
     .textColor = kBlue},
    {.part = OKButton,
     .name = "OKButton",
     .kind = K::BitBtn,
     .parent = GroupBox1,
     .left = 245,
     .top = 252,
     .width = 100,
     .height = 37,
     .caption = "OK",
     .font = {.face = "MS Sans Serif", .height = -16, .bold = true},
     .flags = kDefault,
     .glyph = IDB_OK_GLYPH,
     .glyphMargin = 2,
     .onClick = Bind<&TAboutBox::OKButtonClick>},
    {.part = Varnok_Logo_GIFImage,
     .name = "Varnok_Logo_GIFImage",
     .kind = K::Graphic,
     .parent = GroupBox1,
     .left = 12,
     .top = 16,
     .width = 173,
     .height = 165,
     .onClick = Bind<&TAboutBox::WEB_ButtonClick>,
     .data = kLogoData,
     .graphic = &kLogoMaker},
    {.part = Bevel1,
     .name = "Bevel1",
     .kind = K::Bevel,
     .parent = GroupBox1,
     .left = 5,
     .top = 14,
     .width = 184,
     .height = 167},
    {.part = GroupBox2,
     .name = "GroupBox2",
     .kind = K::GroupBox,
     .left = 0,
     .top = -4,
     .width = 589,
     .height = 65},
    {.part = Varnok_Logo_Banner_Image,
     .name = "Varnok_Logo_Banner_Image",
     .kind = K::Image,
     .parent = GroupBox2,
     .left = 1,
     .top = 0,
     .width = 600,
     .height = 70,
     .onClick = Bind<&TAboutBox::WEB_ButtonClick>,
     .data = kBannerMetafile},
});

const FormSpec kForm{
    .className = "TAboutBox",
    .caption = "??",
    .style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN,
    .exStyle = WS_EX_DLGMODALFRAME,
    .left = 0,
    .top = 0,
    .width = 591,
    .height = 354,
    .clientSized = true,
    .font = {.face = "System", .height = -13},
    .designDpi = 96,
    .designTextHeight = 16,
    .components = kLayout,
    // Made at its first showing: the program starts without waiting for them.
    .componentsOnDemand = true,
};

unsigned ClockSeed() {
    return static_cast<unsigned>(GetTickCount());
}

// A text of the ANSI code page in UTF-8, as a "mailto:" link is read.
std::string AnsiToUtf8(std::string_view ansi) {
    const int size = static_cast<int>(ansi.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, text.data(), wide);
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

// The figures are 32-bit, as the system gives them to a 32-bit program; an
// x64 build (the tests on a machine without 32-bit code) caps them the same
// way.
std::uint32_t Figure(SIZE_T bytes) {
    return static_cast<std::uint32_t>(std::min<SIZE_T>(bytes, 0xFFFFFFFFu));
}

}  // namespace

std::string Free_Memory_Text() {
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return FreeMemoryText({.memoryLoad = status.dwMemoryLoad,
                           .totalPhys = Figure(status.dwTotalPhys),
                           .availPhys = Figure(status.dwAvailPhys),
                           .totalPageFile = Figure(status.dwTotalPageFile),
                           .availPageFile = Figure(status.dwAvailPageFile)});
}

TAboutBox::TAboutBox(MessageDialog& messages, HWND owner)
    : FormOf(kForm, messages, owner), random_(ClockSeed()) {
    // Centred on the screen.
    const Bounds b = OuterBounds();
    SetLeft((GetSystemMetrics(SM_CXSCREEN) - b.width) / 2);
    SetTop((GetSystemMetrics(SM_CYSCREEN) - b.height) / 2);
}

void TAboutBox::ComponentsMade() {
    Component& quotes = Get(Quotes_From_Varnok_ListBox);
    for (const char* quote : kVarnokQuotes)
        SendMessageA(quotes.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(quote));
}

void TAboutBox::FormActivate() {
    random_.seed(ClockSeed());
    SetEnabled(Get(Quote_Change_Timer), true);
    SetEnabled(Get(Free_Resources_Timer), true);
    ControlOf<TGIFImage>(Get(Varnok_Logo_GIFImage)).SetAnimate(true);
    Quote_Change_TimerTimer();
    Free_Resources_TimerTimer();

    Component& emailButton = Get(Email_Button);
    Component& webButton = Get(WEB_Button);
    Component& emailLabel = Get(Email_Address_Label);
    Component& webLabel = Get(WEB_Address_Label);
    SetHintOf(emailButton, "Click to send an E-Mail to Varnok.");
    SetHintOf(webButton, "Click to visit Varnok's WEB Page.");
    SetVisible(emailButton, false);
    SetVisible(webButton, false);
    SetHintOf(emailLabel, HintOf(emailButton));
    SetHintOf(webLabel, HintOf(webButton));
    for (auto [label, button] : {std::pair{&emailLabel, &emailButton}, {&webLabel, &webButton}}) {
        Bounds b = BoundsOf(*label);
        b.top = BoundsOf(*button).top;
        SetBoundsOf(*label, b);
        SetTextOf(*label, TextOf(*button));
    }
    HCURSOR hand = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
    for (AboutBoxPart part : {Email_Address_Label, WEB_Address_Label, Varnok_Logo_GIFImage,
                              Varnok_Logo_Banner_Image, Bevel1})
        SetCursorOf(Get(part), hand);
    SendToBack(Get(Bevel1));
    SetKeyPreview(true);
}

void TAboutBox::FormKeyDown(WORD& key) {
    if (key != VK_ESCAPE) return;
    key = 0;
    OKButtonClick();
}

void TAboutBox::FormCloseQuery(bool& /*canClose*/) {
    // However the dialog closes, nothing of it keeps running while it is
    // hidden. Never shown (asked at log-off, say), it has nothing running,
    // and nothing is made or decoded to stop it.
    if (HasComponents()) StopTimersAndAnimation();
}

void TAboutBox::StopTimersAndAnimation() {
    SetEnabled(Get(Quote_Change_Timer), false);
    SetEnabled(Get(Free_Resources_Timer), false);
    ControlOf<TGIFImage>(Get(Varnok_Logo_GIFImage)).SetAnimate(false);
}

void TAboutBox::OKButtonClick() {
    StopTimersAndAnimation();
    Close();
}

void TAboutBox::Email_ButtonClick() {
    ShellOpen(EmailLinkText(TextOf(Get(Email_Button)), AnsiToUtf8(FileNameOf(ExecutablePath()))));
}

void TAboutBox::WEB_ButtonClick() {
    ShellOpen(TextOf(Get(WEB_Button)));
}

void TAboutBox::ShellOpen(const std::string& text) {
    if (text.empty()) return;
    deferred::ShellExecuteA(GetWindow(Handle(), GW_OWNER), "open", text.c_str(), nullptr, nullptr,
                            SW_SHOWNORMAL);
}

void TAboutBox::Quote_Change_TimerTimer() {
    HWND quotes = Get(Quotes_From_Varnok_ListBox).hwnd;
    const auto count = SendMessageA(quotes, LB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    std::uniform_int_distribution<LRESULT> pick(0, count - 1);
    const LRESULT index = pick(random_);
    SetTextOf(Get(Quote_From_Varnok_Label), ListBoxLineOf(quotes, static_cast<int>(index)));
}

void TAboutBox::Free_Resources_TimerTimer() {
    SetTextOf(Get(Label4), Free_Memory_Text());
}

}  // namespace norvane
