#include "inspector/win32_inspector_line_actions.h"

#include "inspector/win32_format_inspector_form.h"
#include "inspector/win32_format_reader.h"
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

    // Read on the reader's worker (an owner may be slow to render, the
    // data large); the save dialog comes once it is read.
    void SaveAs(unsigned format, const std::string& line) override {
        if (!saveReader_)
            saveReader_ = std::make_unique<FormatReader>(
                list_.messages, list_.clipboard, [this](std::shared_ptr<InspectedFormat> read) {
                    SaveReading(list_.list, list_.messages, saveLine_, *read);
                });
        saveLine_ = line;
        saveReader_->Start(format, list_.list, kNoTextView);
    }

    void SaveAll() override { SaveAllFormats(list_.clipboard, list_.messages, list_.list); }

    void Cancel() override {
        if (saveReader_) saveReader_->Cancel();
    }

  private:
    FormatListContext list_;
    std::unique_ptr<TFormat_Inspector_Form> inspector_;  // made when first opened
    std::unique_ptr<FormatReader> saveReader_;           // made at the first Save As
    std::string saveLine_;                               // of the format it reads
};

}  // namespace

std::unique_ptr<FormatLineActions> MakeInspectorLineActions(const FormatListContext& list) {
    return std::make_unique<InspectorLineActions>(list);
}

}  // namespace norvane
