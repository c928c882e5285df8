// The About dialog: the product's identity, the animated logo, a message
// from the maker that changes every ten seconds, the free-memory figure
// refreshed twice a second, and links that start an e-mail or open the
// maker's web page.
#pragma once

#include <random>
#include <string>

#include "ui/form.h"

namespace norvane {

// The About dialog's components, in the order of its layout table.
enum class AboutBoxPart {
    Quote_Change_Timer,
    Free_Resources_Timer,
    GroupBox1,
    ProductName,
    Author_and_Date,
    Developed_using,
    Copyright,
    Comments,
    WEB_Page_Label,
    Label3,
    Label4,
    Email_Button,
    WEB_Button,
    Quotes_From_Varnok_ListBox,
    Quote_From_Varnok_Label,
    WEB_Address_Label,
    Email_Address_Label,
    OKButton,
    Varnok_Logo_GIFImage,
    Bevel1,
    GroupBox2,
    Varnok_Logo_Banner_Image,
    Count,
};

class TAboutBox final : public FormOf<AboutBoxPart> {
  public:
    TAboutBox(MessageDialog& messages, HWND owner);

    // Handlers bound in the layout table.
    void OKButtonClick();
    void Email_ButtonClick();
    void WEB_ButtonClick();
    void Quote_Change_TimerTimer();
    void Free_Resources_TimerTimer();

    // Hands a link to the system shell's "open" action; nothing for an empty one.
    void ShellOpen(const std::string& text);

  protected:
    void ComponentsMade() override;
    void FormActivate() override;
    void FormKeyDown(WORD& key) override;
    void FormCloseQuery(bool& canClose) override;

  private:
    void StopTimersAndAnimation();

    std::minstd_rand random_;
};

// The memory figure with its "%" sign, from the system's memory report.
std::string Free_Memory_Text();

}  // namespace norvane
