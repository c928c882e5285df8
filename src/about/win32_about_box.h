// The About dialog: the product's identity, the animated logo, a message
// from the maker that changes every ten seconds, the free-memory figure
// refreshed twice a second, and links that start an e-mail or open the
// maker's web page.
#pragma once

#include <random>
#include <string>

#include "ui/form.h"

namespace norvane {

class TAboutBox final : public Form {
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
