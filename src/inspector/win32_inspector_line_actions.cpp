#include "inspector/win32_inspector_line_actions.h"

#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_save_all_formats.h"
#include "inspector/win32_save_from_clipboard.h"

namespace norvane {
namespace {

class InspectorLineActions final : public FormatLineActions {
  public:
    explicit InspectorLineActions(const FormatListContext& list) : list_(list) {}

    void Inspect(unsigned format, const std::string& line) override {
        if (!inspector_)
            inspector_ = std::make_unique<TFormat_Inspector_Form>(list_.messages, list_.clipboard,
                                                                  list_.list);
        inspector_->Inspect(format, line);
    }

    void SaveAs(unsigned format, const std::string& line) override {
        SaveFormatFromClipboard(list_.clipboard, list_.messages, format, line, list_.list);
    }

    void SaveAll() override { SaveAllFormats(list_.clipboard, list_.messages, list_.list); }

  private:
    FormatListContext list_;
    std::unique_ptr<TFormat_Inspector_Form> inspector_;  // made when first opened
};

}  // namespace

std::unique_ptr<FormatLineActions> MakeInspectorLineActions(const FormatListContext& list) {
    return std::make_unique<InspectorLineActions>(list);
}

}  // namespace norvane
