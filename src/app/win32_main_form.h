// The main window: three clipboard commands, the File, View and Help menus, the
// show sequence, the close hook and the proportional rescaling.
#pragma once

#include <functional>
#include <utility>

#include "about/win32_about_box.h"
#include "app/run_entry.h"
#include "clipboard/clipboard_service.h"
#include "ui/form.h"

namespace norvane {

// The main window's components, in the order of its layout table.
enum class MainFormPart {
    Erase_Clipboard_BitBtn,
    Display_Clipboard_Data_BitBtn,
    List_Clipboard_Format_BitBtn,
    Scaling_ListBox,
    MainMenu1,
    FileMenu,
    Always_On_Top_Option,
    Auto_Run_at_Windows_Startup_Option,
    Restore_Factory_Defaults_Option,
    N2,
    ExitOption,
    ViewMenu,
    Clipboard_Journal_Option,
    HelpMenu,
    View_Readme_file_Option,
    View_Shareware_Catalog_Option,
    About1,
    AboutOption,
    Count,
};

class TMainForm1 final : public FormOf<MainFormPart> {
  public:
    TMainForm1(MessageDialog& messages, ClipboardService& clipboard, RegistryStore& registry);

    // Handlers bound in the layout table.
    void Erase_Clipboard_BitBtnClick();
    void Display_Clipboard_Data_BitBtnClick();
    void List_Clipboard_Format_BitBtnClick();
    void Always_On_Top_OptionClick();
    void Auto_Run_at_Windows_Startup_OptionClick();
    void Restore_Factory_Defaults_OptionClick();
    void ExitOptionClick();
    void View_Readme_file_OptionClick();
    void View_Shareware_Catalog_OptionClick();
    void AboutOptionClick();
    void Clipboard_Journal_OptionClick();

    // The dialogs the commands show, made after the main window: before it
    // shows, or right after its first paint (then the About dialog's
    // identity texts are written as they are attached).
    void AttachDialogs(TAboutBox& about, Form& viewer, Form& formats);
    // What makes the dialogs (and attaches them) when they are made after
    // the main window shows: the entry point runs it after the first paint,
    // and a command that comes first (from a box of the show sequence, whose
    // message loop takes input) runs it itself.
    void SetDialogMaker(std::function<void()> makeDialogs) {
        makeDialogs_ = std::move(makeDialogs);
    }
    // Makes the dialogs unless they are made.
    void MakeDialogs();

    // What "Clipboard Journal..." on the View menu opens.
    void AttachJournal(std::function<void()> openJournal) { openJournal_ = std::move(openJournal); }

    // Steps of the show sequence and the settings, shared with the menu.
    void TakeLayoutSnapshot();
    void RescaleLayout();
    void ToggleAlwaysOnTop();
    void RestoreFactoryDefaults();
    bool LoadSettings();  // returns the stored maximised flag
    void SaveSettings();
    void Set_Product_Identity();
    void ApplyStartupShowState();

  protected:
    void FormShow() override;
    void FormResize() override;
    void FormCloseQuery(bool& canClose) override;
    void FormActivate() override;

  private:
    RunEntry MakeRunEntry();
    void WriteAboutIdentity();

    ClipboardService& clipboard_;
    RegistryStore& registry_;
    TAboutBox* about_ = nullptr;
    Form* viewer_ = nullptr;
    Form* formats_ = nullptr;
    bool identitySet_ = false;
    std::function<void()> openJournal_;
    std::function<void()> makeDialogs_;
};

}  // namespace norvane
